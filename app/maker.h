// The maker's names and web addresses, shown and opened by the windows' links.
#pragma once

namespace app {

// UTF-8 texts.
inline constexpr const char* kMakerCompany = "Morvane Systemy Transportowe";
inline constexpr const char* kMakerOwner = "Morvane sp. j.";
inline constexpr const char* kMakerWebSite = "https://www.morvane.example/";
inline constexpr const char* kMakerShopWebSite = "https://sklep.morvane.example/";

}  // namespace app
