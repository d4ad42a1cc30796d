#pragma once
// cRegistry addresses one registry value at a time (root, key path, value name, type)
// and reads or writes it through Value, converting between the registry's types and
// the program's values. Every call opens the key it needs and closes it again.
//
// Reading Value: a missing key or value returns Default and leaves ValueType alone;
// otherwise ValueType becomes the stored type and the value is returned as
//   REG_SZ, REG_MULTI_SZ: text without its terminating NUL (a multi-text keeps the
//     NULs between its strings and its last one);
//   REG_EXPAND_SZ: that text with %NAME% references expanded;
//   REG_DWORD: a 32-bit integer; REG_DWORD_BIG_ENDIAN: the bytes reversed first
//     (data of another size than 4 comes back as a byte array);
//   anything else: the bytes.
// A stored text without even its NUL (size 0) cannot be read: error 26003. Value
// raises it; Read gives it as a Status, for callers that skip what cannot be read.
//
// Writing Value: opens or creates the key with its parents (error 26001 when that
// fails, nothing written), then by ValueType:
//   1, 2: the value as text, as REG_EXPAND_SZ when it holds "%", at least one
//     character and another "%", else REG_SZ;
//   4, 5: only a 16- or 32-bit integer, as REG_DWORD (sign-extended); other values
//     write nothing;
//   others: nothing.
// A write the hive refuses raises nothing: FirstWriteFailure() tells the caller (the
// settings store reports it at the end of a save). Once a write found the hive locked
// by another program for the whole wait, the object's later writes are refused at once
// the same way, so a save waits once, not once per value.
//
// Text conversion of a value: text as is, integers in decimal, empty as "", a byte
// array as its bytes taken as text.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/error.h"

namespace tv {

using RegVariant = std::variant<std::monostate, std::string, std::int16_t, std::int32_t,
                                std::vector<std::uint8_t>>;

// Error numbers of the registry class (source "tessel-viewer.cRegistry").
inline constexpr long kErrRegistrySetFailed = 26001;    // key cannot be opened or created
inline constexpr long kErrRegistryWriteFailed = 26002;  // a save could not write a value
inline constexpr long kErrRegistryBadText = 26003;      // stored text without its NUL

// An AppError that also names the hive file and the system's reason.
class RegistryError : public AppError {
  public:
    RegistryError(long number, std::string description, std::string hivePath, std::string reason);

    const std::string& HivePath() const noexcept { return hivePath_; }
    const std::string& Reason() const noexcept { return reason_; }

  private:
    std::string hivePath_;
    std::string reason_;
};

class cRegistry {
  public:
    // The root as its signed 32-bit handle value (HKEY_CURRENT_USER is 0x80000001).
    std::int32_t ClassKey() const { return classKey_; }
    void ClassKey(std::int32_t eKey) { classKey_ = eKey; }

    const std::string& SectionKey() const { return sectionKey_; }
    void SectionKey(const std::string& sSectionKey) { sectionKey_ = sSectionKey; }

    // "" addresses the key's unnamed default value.
    const std::string& ValueKey() const { return valueKey_; }
    void ValueKey(const std::string& sValueKey) { valueKey_ = sValueKey; }

    std::int32_t ValueType() const { return valueType_; }
    void ValueType(std::int32_t eValueType) { valueType_ = eValueType; }

    const RegVariant& Default() const { return default_; }
    void Default(const RegVariant& vDefault) { default_ = vDefault; }

    // True when SectionKey can be opened for reading. Never raises.
    bool KeyExists() const;

    RegVariant Value();
    void Value(const RegVariant& vValue);

    // Reading Value without raising: the value (Default when missing), or error 26003.
    Result<RegVariant> Read();

    struct WriteFailure {
        std::int32_t status = 0;  // 0: no write was refused
        std::string section;
        std::string valueName;
        std::string reason;
        std::string hivePath;
    };
    // The first write this object saw refused.
    const WriteFailure& FirstWriteFailure() const { return firstFailure_; }

  private:
    std::int32_t classKey_ = 0;
    std::string sectionKey_;
    std::string valueKey_;
    std::int32_t valueType_ = 0;
    RegVariant default_;
    WriteFailure firstFailure_;

    void RecordFailure(std::int32_t status, const std::string& reason, const std::string& hivePath);
};

// The value as text (see above).
std::string RegVariantText(const RegVariant& v);

// Number conversions as the loads need them: empty is 0, integers are range-checked,
// text is an optional sign and decimal digits between optional spaces. Anything else
// fails with 13 (type mismatch); a number out of range with 6 (overflow).
Result<std::int32_t> RegVariantToInt32(const RegVariant& v);
Result<std::int16_t> RegVariantToInt16(const RegVariant& v);

// True when text holds "%", at least one character, then another "%".
bool HasEnvironmentReference(const std::string& text);

}  // namespace tv
