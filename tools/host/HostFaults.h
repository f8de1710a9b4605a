#pragma once

#include "FaultSwitch.h"
#include "ae/sdk/EffectApi.h"

#include <optional>
#include <set>
#include <string>

namespace brantok::lumaro::host {

// The host services that a test can make fail, one switch each. New services
// get a switch here and one check where the host answers the call.
struct HostFaults {
  // Suites AcquireSuite answers with kSPSuiteNotFoundError, by name (any
  // version), for as long as they are listed.
  std::set<std::string> missingSuites;
  // Any acquisition at all, counted over every AcquireSuite call.
  FaultSwitch acquireSuite;
  // host_new_handle (utils and Handle suite) returns null.
  FaultSwitch newHandle;
  // host_lock_handle (utils and Handle suite) returns null.
  FaultSwitch lockHandle;
  // add_param returns addParamError and adds nothing.
  FaultSwitch addParam;
  PF_Err addParamError = PF_Err_OUT_OF_MEMORY;
  // PF_UpdateParamUI returns updateParamUIError and changes nothing.
  FaultSwitch updateParamUI;
  PF_Err updateParamUIError = PF_Err_BAD_CALLBACK_PARAM;
  // utils->copy returns copyError and writes nothing.
  FaultSwitch copy;
  PF_Err copyError = PF_Err_OUT_OF_MEMORY;

  // in_data as a careless host fills it. Each switch counts the commands
  // sent by any means but SendRaw; a tripped command gets that field null.
  FaultSwitch nullUtils;        // in_data->utils
  FaultSwitch nullSuiteBroker;  // in_data->pica_basicP
  FaultSwitch nullEffectRef;    // in_data->effect_ref
  FaultSwitch nullSequenceData; // in_data->sequence_data; the sequence keeps its record
  // A damaged or foreign record: before each command the sequence's record
  // is resized to this many bytes (cut, or zero-extended), handle unchanged.
  std::optional<A_HandleSize> sequenceDataSize;
};

} // namespace brantok::lumaro::host
