// The processor identification instruction.
#pragma once
#include <cstdint>

// 1 when the instruction exists (x86), else 0 and every report is zero.
int PLT_CpuidSupported();
// Fills regs with eax, ebx, ecx, edx of the leaf (zeros where unsupported).
void PLT_Cpuid(uint32_t leaf, uint32_t regs[4]);
int PLT_HasTsc();
uint64_t PLT_ReadTsc();
// 1 when the processor has SSE2 (every 64-bit x86 one does), for the pixel loops.
int PLT_HasSse2();
// 1 when the processor has AVX2 (with operating-system support), for the pixel loops.
int PLT_HasAvx2();
// 1 when the processor has the AVX-512 subsets the widest pixel loops use
// (F, VL, BW, VBMI) and BMI2, with operating-system support.
int PLT_HasAvx512();
// 1 when the processor has a fast bit-extract instruction (BMI2 not run in
// microcode), for the 8-bit frame conversion.
int PLT_HasFastBitExtract();
