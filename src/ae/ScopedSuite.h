#pragma once

#include "ae/sdk/EffectApi.h"

#include <cstdint>

namespace brantok::lumaro::ae {

// Holds one host suite for the lifetime of the object. A suite the host
// cannot give is reported the way hosts expect: the display-error flag, the
// message in return_msg, and the integer error A_Err_MISSING_SUITE thrown to
// EffectMain, which returns it.
template <typename Suite>
class ScopedSuite {
public:
  ScopedSuite(const PF_InData* inData, PF_OutData* outData, const char* name, std::int32_t version) :
      basic_(inData ? inData->pica_basicP : nullptr), name_(name), version_(version) {
    const void* suite = nullptr;
    if (basic_ && basic_->AcquireSuite && basic_->AcquireSuite(name, version, &suite) == kSPNoError && suite) {
      suite_ = static_cast<const Suite*>(suite);
      return;
    }
    if (outData) {
      outData->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
      if (inData && inData->utils && inData->utils->ansi.sprintf) {
        inData->utils->ansi.sprintf(outData->return_msg, "%s", "Not able to acquire AEFX Suite.");
      }
    }
    throw static_cast<PF_Err>(A_Err_MISSING_SUITE);
  }

  ~ScopedSuite() {
    if (basic_->ReleaseSuite) basic_->ReleaseSuite(name_, version_);
  }

  ScopedSuite(const ScopedSuite&) = delete;
  ScopedSuite& operator=(const ScopedSuite&) = delete;

  const Suite* operator->() const { return suite_; }
  const Suite& Get() const { return *suite_; }

private:
  const SPBasicSuite* basic_;
  const char* name_;
  std::int32_t version_;
  const Suite* suite_ = nullptr;
};

using ParamUtilsSuite = ScopedSuite<PF_ParamUtilsSuite3>;
using HandleSuite = ScopedSuite<PF_HandleSuite1>;
using AnsiSuite = ScopedSuite<PF_ANSICallbacksSuite1>;
using PixelFormatSuite = ScopedSuite<PF_PixelFormatSuite1>;

} // namespace brantok::lumaro::ae
