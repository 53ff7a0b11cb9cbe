// The processor facts on processors without an identification instruction:
// none, so the pixel loops take their portable forms.
#include <cstring>

#include "platform/plt_cpu.h"

int PLT_CpuidSupported() {
  return 0;
}
void PLT_Cpuid(uint32_t, uint32_t regs[4]) {
  std::memset(regs, 0, 16);
}
int PLT_HasTsc() {
  return 0;
}
uint64_t PLT_ReadTsc() {
  return 0;
}
int PLT_HasSse2() {
  return 0;
}
int PLT_HasAvx2() {
  return 0;
}
int PLT_HasAvx512() {
  return 0;
}
int PLT_HasFastBitExtract() {
  return 0;
}
