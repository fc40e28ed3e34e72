#pragma once

#include <string_view>

// The maker's addresses, used by the menu's links, the help window and the about window.
inline constexpr std::string_view kMakerName = "Korvex Software";
inline constexpr std::string_view kMakerLocation = "Tallinn, Estonia";
inline constexpr std::string_view kMakerWebSite = "https://www.korvex.example/plimo";
// The web address as the about window writes it out.
inline constexpr std::string_view kMakerWebSiteText = "www.korvex.example/plimo";
inline constexpr std::string_view kMakerSupportMail = "mailto:support@korvex.example";
inline constexpr std::string_view kMakerSalesMail = "mailto:sales@korvex.example";
