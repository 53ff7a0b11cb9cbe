// The processor report written to the debug log at start-up.
#include "shell/cpuinfo.h"

#include <cstring>

#include "platform/plt_clock.h"
#include "platform/plt_cpu.h"
#include "shell/log.h"

CpuInfo g_cpu;

void CPU_Identify(int measureClock) {
  g_cpu = CpuInfo{};
  g_cpu.cpuidSupported = PLT_CpuidSupported();
  if (g_cpu.cpuidSupported) {
    uint32_t r[4];
    PLT_Cpuid(0, r);
    g_cpu.maxLeaf = r[0];
    std::memcpy(g_cpu.vendor, &r[1], 4);
    std::memcpy(g_cpu.vendor + 4, &r[3], 4);
    std::memcpy(g_cpu.vendor + 8, &r[2], 4);
    if (g_cpu.maxLeaf >= 1) {
      PLT_Cpuid(1, r);
      g_cpu.stepping = r[0] & 15;
      g_cpu.model = (r[0] >> 4) & 15;
      g_cpu.family = (r[0] >> 8) & 15;
      g_cpu.type = (r[0] >> 12) & 3;
      g_cpu.fpu = r[3] & 1;
      g_cpu.tsc = (r[3] >> 4) & 1;
      g_cpu.msr = (r[3] >> 5) & 1;
      g_cpu.cmov = (r[3] >> 15) & 1;
      g_cpu.mmx = (r[3] >> 23) & 1;
      g_cpu.sseInt = g_cpu.sseFp = (r[3] >> 25) & 1;
      g_cpu.sse2 = (r[3] >> 26) & 1;
    }
    PLT_Cpuid(0x80000000u, r);
    g_cpu.maxExtLeaf = r[0];
    if (g_cpu.maxExtLeaf >= 0x80000001u) {
      PLT_Cpuid(0x80000001u, r);
      g_cpu.sseInt = (r[3] >> 22) & 1;
      g_cpu.amd3dNowExt = (r[3] >> 30) & 1;
      g_cpu.amd3dNow = (r[3] >> 31) & 1;
    }
    if (g_cpu.maxExtLeaf >= 0x80000004u) {
      for (uint32_t i = 0; i < 3; ++i) {
        PLT_Cpuid(0x80000002u + i, r);
        std::memcpy(g_cpu.brand + 16 * i, r, 16);
      }
    }
    g_cpu.avx2 = PLT_HasAvx2();
    g_cpu.avx512 = PLT_HasAvx512();
  }
  if (g_cpu.tsc && measureClock) {
    uint64_t t0 = PLT_ReadTsc();
    uint32_t start = PLT_TimeMs();
    while (PLT_TimeMs() - start < 500) {
    }
    uint32_t diff = static_cast<uint32_t>(PLT_ReadTsc() - t0);
    g_cpu.clockMHz = static_cast<int>(diff * 0.000002);
  }
  LOG_Write("VenderID  %s\n", g_cpu.vendor);
  LOG_Write("CpuName   %s\n", g_cpu.brand);
  LOG_Write("TypeID %d, FamilyID %d, ModelID %d, SteppingID %d\n", g_cpu.type, g_cpu.family,
            g_cpu.model, g_cpu.stepping);
  LOG_Write("CpuClock %dMHz\n", g_cpu.clockMHz);
  LOG_Write("\n");
  LOG_Write("CPUID       %d\n", g_cpu.cpuidSupported);
  LOG_Write("CPUIDMax    %x\n", g_cpu.maxLeaf);
  LOG_Write("CPUIDExtMax %x\n", g_cpu.maxExtLeaf);
  LOG_Write("FPU    %d\n", g_cpu.fpu);
  LOG_Write("TSC    %d\n", g_cpu.tsc);
  LOG_Write("MSR    %d\n", g_cpu.msr);
  LOG_Write("CMOV   %d\n", g_cpu.cmov);
  LOG_Write("MMX    %d\n", g_cpu.mmx);
  LOG_Write("3DNow! %d\n", g_cpu.amd3dNow);
  LOG_Write("SSE_INT    %d\n", g_cpu.sseInt);
  LOG_Write("SSE_FP     %d\n", g_cpu.sseFp);
  LOG_Write("3DNow! Ext %d\n", g_cpu.amd3dNowExt);
  LOG_Write("FCMOV      %d\n", (g_cpu.cmov && g_cpu.fpu) ? 1 : 0);
}
