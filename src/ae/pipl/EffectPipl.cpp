#include "ae/pipl/EffectPipl.h"

#include "ae/EffectDeclaration.h"
#include "ae/pipl/PiplWriter.h"
#include "ae/sdk/EffectApi.h"
#include "core/ProductInformation.h"

#include <stdexcept>
#include <string>

namespace brantok::lumaro::ae {

EffectPipl EffectPipl::LumaroEffect() {
  // The version word holds a major version up to 127 and minor and patch
  // versions up to 15; a product version beyond them would wrap into another
  // effect's version, so the build stops here instead.
  const auto& version = core::ProductInformation::GetVersion();
  if (!version.valid || version.major < 0 || version.major > 127 || version.minor < 0 || version.minor > 15 ||
      version.patch < 0 || version.patch > 15) {
    throw std::invalid_argument("product version " + std::string(core::ProductInformation::VersionText) +
                                " does not fit an effect version word");
  }
  EffectPipl pipl;
  pipl.name = "BRANTOK Lumaro Effect";
  pipl.category = "BRANTOK";
  pipl.entryPoint = "EffectMain";
  pipl.apiVersionMajor = PF_PLUG_IN_VERSION;
  pipl.apiVersionMinor = PF_PLUG_IN_SUBVERS;
  pipl.effectVersion = EffectDeclaration::VersionWord();
  pipl.globalOutFlags = static_cast<std::uint32_t>(EffectDeclaration::OutFlags);
  pipl.globalOutFlags2 = static_cast<std::uint32_t>(EffectDeclaration::OutFlags2);
  pipl.matchName = "BRANTOK LumaroEffect";
  pipl.supportUrl = std::string(core::ProductInformation::WebPageUrl);
  return pipl;
}

std::vector<std::uint8_t> EffectPipl::Bytes() const {
  // The order of the host's own samples; whether the host cares is unknown,
  // so it is kept.
  PiplWriter writer;
  writer.AddCode(PiplWriter::Code("kind"), PiplWriter::Code("eFKT"));
  writer.AddPascalString(PiplWriter::Code("name"), name);
  writer.AddPascalString(PiplWriter::Code("catg"), category);
  writer.AddCString(PiplWriter::Code("8664"), entryPoint);
  writer.AddVersionPair(PiplWriter::Code("ePVR"), piplVersionMajor, piplVersionMinor);
  writer.AddVersionPair(PiplWriter::Code("eSVR"), apiVersionMajor, apiVersionMinor);
  writer.AddLong(PiplWriter::Code("eVER"), effectVersion);
  // A 16-bit value, written with four data bytes and length 4 like the
  // other small properties.
  writer.AddLong(PiplWriter::Code("eINF"), infoFlags);
  writer.AddLong(PiplWriter::Code("eGLO"), globalOutFlags);
  writer.AddLong(PiplWriter::Code("eGL2"), globalOutFlags2);
  writer.AddPascalString(PiplWriter::Code("eMNA"), matchName);
  writer.AddPascalString(PiplWriter::Code("eURL"), supportUrl);
  return writer.Bytes();
}

} // namespace brantok::lumaro::ae
