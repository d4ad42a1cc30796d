#pragma once
// What the preferences and navigation dialogs need of the main window: the current
// values, and the setters. Each setter stores its value, saves every setting at once
// and answers false when the save failed; the target has then told the user ("Your
// settings could not be saved to ...") and the dialog simply stays usable.
#include <cstdint>
#include <string>

namespace tv {

class SettingsTarget {
  public:
    virtual ~SettingsTarget() = default;

    virtual std::string IE11Path() const = 0;
    virtual std::string ChromePath() const = 0;
    virtual std::string EspacenetUrl() const = 0;
    virtual std::string GrantexUrl() const = 0;
    virtual std::string PubexUrl() const = 0;
    virtual std::string GooglePatentsUrl() const = 0;
    virtual std::int16_t NavigationOption() const = 0;
    // The application folder (ending with the separator; empty when unknown): the
    // document opener suggested for the Internet Explorer role lives there.
    virtual std::string GetAppPath() const = 0;

    virtual bool SetIE11Path(const std::string& txt) = 0;
    virtual bool SetChromePath(const std::string& txt) = 0;
    virtual bool SetEspacenetUrl(const std::string& txt) = 0;
    virtual bool SetGrantexUrl(const std::string& txt) = 0;
    virtual bool SetPubexUrl(const std::string& txt) = 0;
    virtual bool SetGooglePatentsUrl(const std::string& txt) = 0;
    virtual bool setNavigationOption(std::int16_t inti) = 0;
};

}  // namespace tv
