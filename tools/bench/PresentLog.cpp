// A preload library for measuring a real game from outside: it logs every picture the GL
// driver puts into a window, with the time, so that a script can tell when the first picture
// was drawn and how long each frame took, without touching the game.
//
//   BRAKKEL_PRESENT_LOG=FILE LD_PRELOAD=libbrakkel_present_log.so ./brakkel
//
// Mesa's software drivers present through XShmPutImage (XPutImage without shared memory),
// which this library wraps. Each line of FILE: the wall-clock time in seconds
// (CLOCK_REALTIME, to compare with `date +%s.%N`), the picture's size, and whether it holds
// any pixel that is not black (1 or 0; once a picture has, later ones are not looked at and
// show "-"). Pictures smaller than kSmallest on a side (cursors, icons) are not logged.
#include <X11/Xlib.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr unsigned int kSmallest = 64; // pixels
constexpr int kBitsPerPixel = 32;
constexpr std::uint32_t kColourBits = 0x00FFFFFFu; // of a 32-bit pixel, without its alpha

// The log, opened at the first picture; null when BRAKKEL_PRESENT_LOG is unset or unwritable.
class Log {
public:
    Log() {
        const char* path = std::getenv("BRAKKEL_PRESENT_LOG");
        file = path != nullptr ? std::fopen(path, "w") : nullptr;
    }
    ~Log() {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    void picture(const XImage* image, int x, int y, unsigned int width, unsigned int height) {
        if (file == nullptr || width < kSmallest || height < kSmallest) {
            return;
        }
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        const char* lit = "-";
        if (!litSeen) {
            litSeen = anyLit(image, x, y, width, height);
            lit = litSeen ? "1" : "0";
        }
        std::fprintf(file, "%lld.%09ld %ux%u %s\n", static_cast<long long>(now.tv_sec), now.tv_nsec,
                     width, height, lit);
        std::fflush(file);
    }

private:
    static bool anyLit(const XImage* image, int x, int y, unsigned int width, unsigned int height) {
        if (image == nullptr || image->data == nullptr || image->bits_per_pixel != kBitsPerPixel) {
            return true; // cannot tell: counts as a picture
        }
        for (unsigned int row = 0; row < height; ++row) {
            const char* line =
                image->data + static_cast<long>(y + static_cast<int>(row)) * image->bytes_per_line;
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(line) + x;
            for (unsigned int column = 0; column < width; ++column) {
                if ((pixels[column] & kColourBits) != 0) {
                    return true;
                }
            }
        }
        return false;
    }

    std::FILE* file = nullptr;
    bool litSeen = false;
};

Log& log() {
    static Log instance;
    return instance;
}

template <typename Function> Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

// The shared-memory extension's call, declared here as Xext declares it.
Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX,
                  int sourceY, int x, int y, unsigned int width, unsigned int height,
                  Bool sendEvent) {
    using Function = Bool (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int,
                              unsigned int, Bool);
    static const Function real = next<Function>("XShmPutImage");
    const Bool result =
        real(display, drawable, gc, image, sourceX, sourceY, x, y, width, height, sendEvent);
    log().picture(image, sourceX, sourceY, width, height);
    return result;
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
              int x, int y, unsigned int width, unsigned int height) {
    using Function =
        int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int, unsigned int);
    static const Function real = next<Function>("XPutImage");
    const int result = real(display, drawable, gc, image, sourceX, sourceY, x, y, width, height);
    log().picture(image, sourceX, sourceY, width, height);
    return result;
}

} // extern "C"
