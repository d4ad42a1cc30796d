#pragma once
// The four service hosts the page-image addresses are built on. They are fixed here on
// purpose: the search-page settings name the same full-text hosts by default, but
// changing a setting does not move these links.
namespace tv {

inline constexpr const char* kGrantImageHost = "pimg-grant.tessel-office.example";
inline constexpr const char* kPublicationImageHost = "pimg-pub.tessel-office.example";
inline constexpr const char* kGrantSearchHost = "grantex.tessel-office.example";
inline constexpr const char* kPublicationSearchHost = "pubex.tessel-office.example";

}  // namespace tv
