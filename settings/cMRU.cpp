#include "settings/cMRU.h"

#include <algorithm>

#include "settings/settings_table.h"

namespace tv {

namespace {
constexpr const char* kClassName = "cMRU";
}

void cMRU::MaxCount(std::int32_t lMaxCount) {
    if (lMaxCount < 1 || lMaxCount > kLimitMaxCount) {
        throw AppError(kErrInvalidCall, ErrorSource(kClassName),
                       "Invalid procedure call or argument");
    }
    maxCount_ = lMaxCount;
    if (Count() > maxCount_) {
        items_.resize(static_cast<std::size_t>(maxCount_));
    }
}

std::string cMRU::Item(std::int32_t nIndex) const {
    if (nIndex < 1 || nIndex > Count()) {
        throw AppError(kErrSubscript, ErrorSource(kClassName), "Subscript out of range");
    }
    return items_[static_cast<std::size_t>(nIndex - 1)];
}

void cMRU::Add(const std::string& sItem) {
    auto found = std::find(items_.begin(), items_.end(), sItem);
    if (found != items_.end()) {
        items_.erase(found);
    } else if (Count() >= maxCount_) {
        items_.pop_back();
    }
    items_.insert(items_.begin(), sItem);
}

bool cMRU::Serialise(cRegistry& cR) const {
    cR.ValueType(GetSetting(SettingId::MaxCount).writtenType);
    cR.ValueKey(SettingName(SettingId::MaxCount));
    cR.Value(maxCount_);
    cR.ValueKey(SettingName(SettingId::Count));
    cR.ValueType(GetSetting(SettingId::Count).writtenType);
    cR.Value(Count());
    const std::string item = SettingName(SettingId::Item);
    for (std::int32_t i = 1; i <= Count(); ++i) {
        cR.ValueKey(item + std::to_string(i));
        cR.Value(items_[static_cast<std::size_t>(i - 1)]);
    }
    return true;
}

bool cMRU::DeSerialise(cRegistry& cR) {
    cR.ValueType(GetSetting(SettingId::MaxCount).writtenType);
    cR.ValueKey(SettingName(SettingId::MaxCount));
    // A stored number that does not convert raises here, as the registry's errors do.
    const auto number = [&cR] {
        Result<std::int32_t> n = RegVariantToInt32(cR.Value());
        if (!n) {
            throw AppError(n.status());
        }
        return *n;
    };
    std::int32_t maxCount = number();
    if (maxCount < 1) {
        maxCount = kDefaultMaxCount;
    }
    maxCount = std::min(maxCount, kLimitMaxCount);
    cR.ValueKey(SettingName(SettingId::Count));
    const std::int32_t count = std::clamp(number(), 0, maxCount);

    std::vector<std::string> items(static_cast<std::size_t>(count));
    cR.ValueType(GetSetting(SettingId::Item).writtenType);
    const std::string item = SettingName(SettingId::Item);
    for (std::int32_t i = 1; i <= count; ++i) {
        cR.ValueKey(item + std::to_string(i));
        // An unreadable item is shown and kept like a missing one: empty.
        const Result<RegVariant> v = cR.Read();
        if (v && !std::holds_alternative<std::vector<std::uint8_t>>(*v)) {
            items[static_cast<std::size_t>(i - 1)] = RegVariantText(*v);
        }
    }
    maxCount_ = maxCount;
    items_ = std::move(items);
    return true;
}

}  // namespace tv
