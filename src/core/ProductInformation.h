#pragma once

#include "core/Version.h"

#include <string_view>

namespace brantok::lumaro::core {

// The compiled-in facts about the product. There is no configuration file:
// everything a build needs to identify itself lives here.
struct ProductInformation {
  static constexpr std::string_view Name = "BRANTOK Lumaro Adobe Plugin";
  static constexpr std::string_view ShortName = "Lumaro Adobe Plugin";
  static constexpr std::string_view Description = "Adobe Premiere plugin component for BRANTOK Lumaro";
  static constexpr std::string_view CompanyFolderName = "BRANTOKSTUDIO";
  static constexpr std::string_view VersionText = "1.0.0";
  static constexpr std::string_view WebPageUrl = "https://www.brantok.studio/products/lumaro-ae-plugin";
  static constexpr std::string_view VersionFileUrl =
      "https://www.brantok.studio/products/lumaro-ae-plugin/latest-version.json";
  static constexpr std::string_view BuildDate = __DATE__;
  static constexpr std::string_view BuildTime = __TIME__;

  // The product version, parsed from VersionText once when the module loads.
  static const Version& GetVersion();
};

} // namespace brantok::lumaro::core
