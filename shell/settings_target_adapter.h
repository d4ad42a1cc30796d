#pragma once
// The main window as the preferences and navigation dialogs see it: the session's
// settings members and setters. A failed save has been told by the session already
// (once per setter call); the dialogs only learn that it failed.
#include "settings/ui/settings_target.h"
#include "shell/package_session.h"

namespace tv {

class SessionSettingsTarget : public SettingsTarget {
  public:
    explicit SessionSettingsTarget(PackageSession& session) : session_(session) {}

    std::string IE11Path() const override { return session_.m_IE11Path; }
    std::string ChromePath() const override { return session_.m_ChromePath; }
    std::string EspacenetUrl() const override { return session_.m_EspacenetUrl; }
    std::string GrantexUrl() const override { return session_.m_GrantexUrl; }
    std::string PubexUrl() const override { return session_.m_PubexUrl; }
    std::string GooglePatentsUrl() const override { return session_.m_GooglePatentsUrl; }
    std::int16_t NavigationOption() const override { return session_.m_NavigationOption; }
    std::string GetAppPath() const override { return session_.GetAppPath(); }

    bool SetIE11Path(const std::string& txt) override { return session_.SetIE11Path(txt); }
    bool SetChromePath(const std::string& txt) override { return session_.SetChromePath(txt); }
    bool SetEspacenetUrl(const std::string& txt) override { return session_.SetEspacenetUrl(txt); }
    bool SetGrantexUrl(const std::string& txt) override { return session_.SetGrantexUrl(txt); }
    bool SetPubexUrl(const std::string& txt) override { return session_.SetPubexUrl(txt); }
    bool SetGooglePatentsUrl(const std::string& txt) override {
        return session_.SetGooglePatentsUrl(txt);
    }
    bool setNavigationOption(std::int16_t inti) override {
        return session_.setNavigationOption(inti);
    }

  private:
    PackageSession& session_;
};

}  // namespace tv
