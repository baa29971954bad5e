// Recovery: undoes what an incremental run that was cut short appended.
#ifndef FERROW_CONVERTER_RECOVERY_H
#define FERROW_CONVERTER_RECOVERY_H

#include <cstdio>

#include "converter/profile.h"
#include "converter/run_report.h"
#include "converter/state_file.h"

// Cuts each pending file back to its size before the run, but only when
// every byte after that size is one the run itself would have written: the
// conversion is replayed from the saved position of input and compared
// byte for byte. Rows that another run appended meanwhile are never cut;
// the undo is then refused and nothing is changed. False on refusal or
// failure, recorded in failure.
bool undo_pending(const StateRecord& state, std::FILE* input,
                  const char* state_path, const ConverterProfile& profile,
                  Failure* failure);

#endif
