// Profile of ferrow: the six-channel instrument, serial 107.
#ifndef FERROW_PROFILES_FERROW_H
#define FERROW_PROFILES_FERROW_H

#include "converter/profile.h"

inline constexpr ConverterProfile FERROW_PROFILE = {
    "Timestamp, Time zone (hr), Ambient temperature (C), "
    "Ambient pressure (kPa), Inside temperature (C), Humidity (%), "
    "V1 (mV), V2 (mV), V3 (mV), V4 (mV), V5 (mV), V6 (mV)",
    "107",
    11,
    "ferrow",
    "the six-channel instrument",
};

static_assert(FERROW_PROFILE.value_count >= 1 &&
                  FERROW_PROFILE.value_count <= MAX_VALUE_COUNT,
              "a row copies 1 to MAX_VALUE_COUNT values");

#endif
