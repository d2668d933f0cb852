#include "net/SeatTable.h"

#include <sodium.h>

int SeatTable::free() const {
    for (int seat = 0; seat < count; ++seat) {
        if (!(*this)[seat].taken()) {
            return seat;
        }
    }
    return -1;
}

int SeatTable::taken() const {
    int count = 0;
    for (const Seat& seat : seats) {
        count += seat.taken() ? 1 : 0;
    }
    return count;
}

int SeatTable::withToken(const protocol::Token& token) const {
    for (int seat = 0; seat < count; ++seat) {
        const Seat& candidate = (*this)[seat];
        if (candidate.taken() &&
            sodium_memcmp(candidate.token.data(), token.data(), token.size()) == 0) {
            return seat;
        }
    }
    return -1;
}

void SeatTable::letGo(int holder) {
    for (Seat& seat : seats) {
        if (seat.holder == holder) {
            seat.holder = kNobody;
        }
    }
}
