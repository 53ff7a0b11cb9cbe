// The processor report written to the debug log at start-up.
#include "common/cpuinfo.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/log.h"
#include "platform/plt_clock.h"
#include "platform/plt_cpu.h"
#include "platform/plt_thread.h"

CpuInfo g_cpu;

namespace {

PltThread* g_measure = nullptr;

void Append(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* fmt, ...) {
  char line[256];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(line, sizeof line, fmt, ap);
  va_end(ap);
  out += line;
}

// The report goes to the log in one piece, so that lines written meanwhile
// by the start-up cannot come between its lines.
void WriteReport() {
  std::string r;
  Append(r, "VenderID  %s\n", g_cpu.vendor);
  Append(r, "CpuName   %s\n", g_cpu.brand);
  Append(r, "TypeID %d, FamilyID %d, ModelID %d, SteppingID %d\n", g_cpu.type, g_cpu.family,
         g_cpu.model, g_cpu.stepping);
  Append(r, "CpuClock %dMHz\n", g_cpu.clockMHz);
  Append(r, "\n");
  Append(r, "CPUID       %d\n", g_cpu.cpuidSupported);
  Append(r, "CPUIDMax    %x\n", g_cpu.maxLeaf);
  Append(r, "CPUIDExtMax %x\n", g_cpu.maxExtLeaf);
  Append(r, "FPU    %d\n", g_cpu.fpu);
  Append(r, "TSC    %d\n", g_cpu.tsc);
  Append(r, "MSR    %d\n", g_cpu.msr);
  Append(r, "CMOV   %d\n", g_cpu.cmov);
  Append(r, "MMX    %d\n", g_cpu.mmx);
  Append(r, "3DNow! %d\n", g_cpu.amd3dNow);
  Append(r, "SSE_INT    %d\n", g_cpu.sseInt);
  Append(r, "SSE_FP     %d\n", g_cpu.sseFp);
  Append(r, "3DNow! Ext %d\n", g_cpu.amd3dNowExt);
  Append(r, "FCMOV      %d\n", (g_cpu.cmov && g_cpu.fpu) ? 1 : 0);
  LOG_Write("%s", r.c_str());
}

void MeasureClock() {
  uint64_t t0 = PLT_ReadTsc();
  uint32_t start = PLT_TimeMs();
  // A sleep measures as well as a busy wait: the time-stamp counter runs on
  // at its rate either way, and the core is left to others.
  PLT_Sleep(500);
  uint32_t elapsed = PLT_TimeMs() - start;
  uint64_t diff = PLT_ReadTsc() - t0;
  if (elapsed > 0) g_cpu.clockMHz = static_cast<int>(diff / (elapsed * 1000ull));
}

void MeasureAndReport(void*) {
  MeasureClock();
  WriteReport();
}

}  // namespace

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
    // The clock takes half a second to measure: it runs beside the start-up
    // so that the first picture does not wait for it, and the report follows
    // when it is done.
    g_measure = PLT_CreateThread(MeasureAndReport, nullptr);
    if (g_measure) return;
    MeasureClock();
  }
  WriteReport();
}

void CPU_Finish() {
  if (!g_measure) return;
  PLT_JoinThread(g_measure);
  g_measure = nullptr;
}
