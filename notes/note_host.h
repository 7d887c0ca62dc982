#pragma once
// What a note needs of the program that holds it.
#include <cstdint>

class INoteHost {
public:
    // Whether notes marked hidden are shown all the same (0 or 1).
    virtual int32_t ShowHiddenMode() const = 0;
    // The sound an alarm plays; null for the default. The text lives until
    // the end of the run, so the sound worker may read it without a lock.
    virtual const char* AlarmSound() const = 0;

protected:
    ~INoteHost() = default;
};
