// Profile of ferrow-g: the nine-channel instrument, serial 1057.
#ifndef FERROW_PROFILES_FERROW_G_H
#define FERROW_PROFILES_FERROW_G_H

#include "converter/profile.h"

// "V3(mV)" lacks the blank that the other channels have; files already in
// archives carry this header, so it stays as it is.
inline constexpr ConverterProfile FERROW_G_PROFILE = {
    "Timestamp, Time zone (hr), Ambient temperature (C), "
    "Ambient pressure (kPa), Ambient humidity (%), Internal temperature (C), "
    "Internal humidity (%), V1 (mV), V2 (mV), V3(mV), V4 (mV), V5 (mV), "
    "V6 (mV), V7 (mV), V8 (mV), V9 (mV)",
    "1057",
    15,
    "ferrow-g",
    "the nine-channel instrument",
};

static_assert(FERROW_G_PROFILE.value_count >= 1 &&
                  FERROW_G_PROFILE.value_count <= MAX_VALUE_COUNT,
              "a row copies 1 to MAX_VALUE_COUNT values");

#endif
