#include "automation/invoke_steps.h"

namespace rt::automation {

void WriteBackArguments(const BoundMember& member, const ValueRecord* args, ArgumentSlots* slots) {
  const int n = slots->count();
  VARIANT* rgvarg = slots->rgvarg();
  for (int k = 0; k < n; ++k) {
    const int j = n - k;
    const ValueRecord& a = args[j - 1];
    const bool outFormal = (member.formals[j - 1].paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0;
    if ((V_VT(&rgvarg[k]) & VT_BYREF) && outFormal && IsByRef(a.tag) && a.pointer())
      ConvertWriteBack(&rgvarg[k], BaseTag(a.tag), a.pointer());
  }
}

}  // namespace rt::automation
