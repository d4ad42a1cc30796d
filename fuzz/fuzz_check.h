#pragma once
// The fuzz targets' assertion: a broken promise stops the run where it happened, so
// the fuzzer keeps the input.
namespace tv::fuzz {

inline void Check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

}  // namespace tv::fuzz
