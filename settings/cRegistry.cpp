#include "settings/cRegistry.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/environment.h"
#include "platform/registry/registry.h"

namespace tv {

namespace {

constexpr const char* kClassName = "cRegistry";
constexpr reg::REGSAM kCreateAccess = 0x3F;

reg::HKEY Root(std::int32_t classKey) {
    return static_cast<reg::HKEY>(static_cast<std::uint32_t>(classKey));
}

std::string Describe(std::int32_t classKey, const std::string& section, const std::string& name) {
    return "Key: '" + std::to_string(classKey) + "',Section: '" + section + "',Key: '" + name + "'";
}

std::string BytesText(const std::vector<std::uint8_t>& data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data.data()), size);
}

}  // namespace

RegistryError::RegistryError(long number, std::string description, std::string hivePath,
                             std::string reason)
    : AppError(number, ErrorSource(kClassName), std::move(description)),
      hivePath_(std::move(hivePath)),
      reason_(std::move(reason)) {}

std::string RegVariantText(const RegVariant& v) {
    if (const auto* s = std::get_if<std::string>(&v)) {
        return *s;
    }
    if (const auto* i = std::get_if<std::int16_t>(&v)) {
        return std::to_string(*i);
    }
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return std::to_string(*i);
    }
    if (const auto* b = std::get_if<std::vector<std::uint8_t>>(&v)) {
        return BytesText(*b, b->size());
    }
    return {};
}

namespace {

Status ConversionFailure(long number) {
    return Status(number, kExecutableName, number == kErrOverflow ? "Overflow" : "Type mismatch");
}

Result<std::int64_t> ToNumber(const RegVariant& v) {
    if (std::holds_alternative<std::monostate>(v)) {
        return 0;
    }
    if (const auto* i = std::get_if<std::int16_t>(&v)) {
        return *i;
    }
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    const auto* text = std::get_if<std::string>(&v);
    if (text == nullptr) {
        return ConversionFailure(kErrTypeMismatch);
    }
    // An optional sign and decimal digits between optional spaces.
    std::string_view digits = *text;
    digits.remove_prefix(std::min(digits.size(), digits.find_first_not_of(' ')));
    digits = digits.substr(0, digits.find_last_not_of(' ') + 1);
    const bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (negative || digits[0] == '+')) {
        digits.remove_prefix(1);
    }
    std::int64_t n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || digits[0] == '-' || end != digits.data() + digits.size()) {
        return ConversionFailure(kErrTypeMismatch);
    }
    if (error != std::errc()) {
        return ConversionFailure(kErrOverflow);
    }
    return negative ? -n : n;
}

template <class Int>
Result<Int> ToInt(const RegVariant& v) {
    const Result<std::int64_t> n = ToNumber(v);
    if (!n) {
        return n.status();
    }
    if (*n < std::numeric_limits<Int>::min() || *n > std::numeric_limits<Int>::max()) {
        return ConversionFailure(kErrOverflow);
    }
    return static_cast<Int>(*n);
}

}  // namespace

Result<std::int32_t> RegVariantToInt32(const RegVariant& v) {
    return ToInt<std::int32_t>(v);
}

Result<std::int16_t> RegVariantToInt16(const RegVariant& v) {
    return ToInt<std::int16_t>(v);
}

bool HasEnvironmentReference(const std::string& text) {
    std::size_t first = text.find('%');
    return first != std::string::npos && text.find('%', first + 2) != std::string::npos;
}

bool cRegistry::KeyExists() const {
    reg::HKEY key{};
    if (reg::RegOpenKeyEx(Root(classKey_), sectionKey_, 0, reg::KEY_QUERY_VALUE, &key) !=
        reg::ERROR_SUCCESS) {
        return false;
    }
    reg::RegCloseKey(key);
    return true;
}

RegVariant cRegistry::Value() {
    Result<RegVariant> value = Read();
    if (!value) {
        throw AppError(value.status());
    }
    return std::move(value).value();
}

Result<RegVariant> cRegistry::Read() {
    reg::HKEY opened{};
    if (reg::RegOpenKeyEx(Root(classKey_), sectionKey_, 0, reg::KEY_QUERY_VALUE, &opened) !=
        reg::ERROR_SUCCESS) {
        return default_;
    }
    reg::KeyHandle key(opened);
    // The size and the data are two calls; another viewer may change the value between
    // them, so a changed size is asked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        reg::DWORD type = 0;
        reg::DWORD size = 0;
        std::uint8_t probe = 0;
        reg::LONG status = reg::RegQueryValueEx(key.Get(), valueKey_, &type, &probe, &size);
        if (status != reg::ERROR_SUCCESS && status != reg::ERROR_MORE_DATA) {
            return default_;
        }
        valueType_ = static_cast<std::int32_t>(type);
        std::vector<std::uint8_t> data(size);
        reg::DWORD got = size;
        status = reg::RegQueryValueEx(key.Get(), valueKey_, &type,
                                      data.empty() ? &probe : data.data(), &got);
        if (status == reg::ERROR_MORE_DATA || (status == reg::ERROR_SUCCESS && got != size)) {
            continue;
        }
        if (status != reg::ERROR_SUCCESS) {
            return default_;
        }
        valueType_ = static_cast<std::int32_t>(type);
        switch (type) {
            case reg::REG_SZ:
            case reg::REG_MULTI_SZ:
            case reg::REG_EXPAND_SZ: {
                if (data.empty()) {
                    return Status(kErrRegistryBadText, ErrorSource(kClassName),
                                  "Failed to read registry value " +
                                      Describe(classKey_, sectionKey_, valueKey_) +
                                      ": the stored text is empty, without its terminating NUL");
                }
                // A hand-written value may lack the NUL; then nothing is cut.
                std::string text = BytesText(data, data.back() == 0 ? size - 1 : size);
                if (type == reg::REG_EXPAND_SZ) {
                    return RegVariant(ExpandEnvironmentStrings(text));
                }
                return RegVariant(std::move(text));
            }
            case reg::REG_DWORD:
            case reg::REG_DWORD_BIG_ENDIAN:
                if (data.size() == 4) {
                    if (type == reg::REG_DWORD_BIG_ENDIAN) {
                        std::swap(data[0], data[3]);
                        std::swap(data[1], data[2]);
                    }
                    std::int32_t n = 0;
                    std::memcpy(&n, data.data(), 4);
                    return RegVariant(n);
                }
                return RegVariant(std::move(data));
            default:
                return RegVariant(std::move(data));
        }
    }
    return default_;
}

void cRegistry::Value(const RegVariant& vValue) {
    // The hive stayed locked by another program for a whole wait: the following writes
    // of this save would only wait again, one by one.
    if (firstFailure_.status == reg::ERROR_LOCK_VIOLATION) {
        return;
    }
    reg::HKEY created{};
    if (reg::RegCreateKeyEx(Root(classKey_), sectionKey_, reg::REG_OPTION_NON_VOLATILE,
                            kCreateAccess, &created, nullptr) != reg::ERROR_SUCCESS) {
        reg::RegFailure failure = reg::RegLastFailure();
        throw RegistryError(kErrRegistrySetFailed,
                            "Failed to set registry value " +
                                Describe(classKey_, sectionKey_, valueKey_) + " to value: '" +
                                RegVariantText(vValue) + "'",
                            failure.path, failure.reason);
    }
    reg::KeyHandle key(created);
    reg::LONG status = reg::ERROR_SUCCESS;
    switch (valueType_) {
        case reg::REG_SZ:
        case reg::REG_EXPAND_SZ: {
            const std::string text = RegVariantText(vValue);
            if (text.size() >= reg::kMaxValueDataSize) {
                RecordFailure(reg::ERROR_INVALID_PARAMETER,
                              reg::StatusText(reg::ERROR_INVALID_PARAMETER), reg::HivePath());
                return;
            }
            const reg::DWORD type =
                HasEnvironmentReference(text) ? reg::REG_EXPAND_SZ : reg::REG_SZ;
            // With its terminating NUL.
            status = reg::RegSetValueEx(key.Get(), valueKey_, type,
                                        reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                        static_cast<reg::DWORD>(text.size() + 1));
            break;
        }
        case reg::REG_DWORD:
        case reg::REG_DWORD_BIG_ENDIAN: {
            std::int32_t n = 0;
            if (const auto* i16 = std::get_if<std::int16_t>(&vValue)) {
                n = *i16;
            } else if (const auto* i32 = std::get_if<std::int32_t>(&vValue)) {
                n = *i32;
            } else {
                break;
            }
            std::uint8_t bytes[4];
            std::memcpy(bytes, &n, 4);
            status = reg::RegSetValueEx(key.Get(), valueKey_, reg::REG_DWORD, bytes, 4);
            break;
        }
        default:
            break;
    }
    if (status != reg::ERROR_SUCCESS) {
        reg::RegFailure failure = reg::RegLastFailure();
        RecordFailure(status, failure.reason, failure.path);
    }
}

void cRegistry::RecordFailure(std::int32_t status, const std::string& reason,
                              const std::string& hivePath) {
    if (firstFailure_.status == 0) {
        firstFailure_ = {status, sectionKey_, valueKey_, reason, hivePath};
    }
}

}  // namespace tv
