#pragma once

#include <utility>

// One OpenAL object with one owner: released with Kind::destroy when the handle goes, moved
// but never copied. Kind::Name is what OpenAL calls the object by (an ALuint, or a device or
// context pointer); a default-constructed or moved-from handle holds Name{} and releases
// nothing. The classes built on it make their objects in their own factories.
template <typename Kind> class AlHandle {
public:
    using Name = typename Kind::Name;

    AlHandle() = default;
    ~AlHandle() { reset(); }
    AlHandle(AlHandle&& other) noexcept : objectName(std::exchange(other.objectName, Name{})) {}
    AlHandle& operator=(AlHandle&& other) noexcept {
        if (this != &other) {
            reset();
            objectName = std::exchange(other.objectName, Name{});
        }
        return *this;
    }
    AlHandle(const AlHandle&) = delete;
    AlHandle& operator=(const AlHandle&) = delete;

    Name name() const { return objectName; }
    explicit operator bool() const { return objectName != Name{}; }

protected:
    // Takes over an object just made.
    explicit AlHandle(Name name) : objectName(name) {}

private:
    void reset() {
        if (objectName != Name{}) {
            Kind::destroy(objectName);
            objectName = Name{};
        }
    }

    Name objectName{};
};
