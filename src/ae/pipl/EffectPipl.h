#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brantok::lumaro::ae {

// What an effect module declares to the host in its PiPL resource, before any
// of its code runs. The host checks several of these against what the effect
// reports at global setup (version word and out flags), so the two must be
// changed together.
struct EffectPipl {
  std::string name;       // shown in the Effects menu
  std::string category;   // the menu the effect sits in
  std::string entryPoint; // exported name of the 64-bit Windows entry point
  std::uint16_t piplVersionMajor = 2;
  std::uint16_t piplVersionMinor = 0;
  std::uint16_t apiVersionMajor = 0; // the effect API the module was written against
  std::uint16_t apiVersionMinor = 0;
  std::uint32_t effectVersion = 0; // the version word, as out_data->my_version
  std::uint16_t infoFlags = 0;
  std::uint32_t globalOutFlags = 0;  // as out_data->out_flags at global setup
  std::uint32_t globalOutFlags2 = 0; // as out_data->out_flags2
  std::string matchName;             // the identifier projects store; never changes once released
  std::string supportUrl;

  // The Lumaro effect's own declaration, with the version word and out flags
  // that its global setup reports. Throws std::invalid_argument when the
  // product version does not fit a version word.
  static EffectPipl LumaroEffect();

  // The resource data. Throws std::invalid_argument when a string does not
  // fit its property.
  std::vector<std::uint8_t> Bytes() const;
};

} // namespace brantok::lumaro::ae
