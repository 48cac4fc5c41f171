// Entries 1 and 12 of the helper table, and the checked call through which
// typed wrappers reach them. The function or service number travels in
// eax (i686) or r10 (x86_64); the caller's arguments are never touched.
#include <cstdint>

#include "runtime/interface/declared_functions.h"
#include "runtime/kernel/kernel.h"
#include "runtime/kernel/runtime_error.h"

extern "C" void* KorvalinBindForCall(int index) { return rt::kernel::BindDeclaredFunction(index); }

extern "C" [[noreturn]] void KorvalinStackImbalance() { rt::RaiseRuntimeError(6); }

#if defined(__i386__)
asm(R"(
    .intel_syntax noprefix
    .text
    .globl _KorvalinCallDeclaredFunction
_KorvalinCallDeclaredFunction:
    push eax
    call _KorvalinBindForCall
    add esp, 4
    jmp eax

    .globl _KorvalinCallService
_KorvalinCallService:
    cmp eax, 7
    jae 1f
    jmp dword ptr [_KorvalinServiceTable + eax*4]
1:  xor eax, eax
    ret

    # uint64_t KorvalinInvokeIndexed(entry, index, args, argBytes), cdecl.
    # Copies the stdcall arguments, calls entry 1 and checks that the callee
    # removed exactly argBytes: anything else is runtime error 6.
    .globl _KorvalinInvokeIndexed
_KorvalinInvokeIndexed:
    push ebp
    mov ebp, esp
    push esi
    push edi
    push ebx
    mov ebx, [ebp+20]
    mov ecx, ebx
    sub esp, ecx
    mov edi, esp
    mov esi, [ebp+16]
    shr ecx, 2
    cld
    rep movsd
    mov esi, esp
    mov eax, [ebp+12]
    call dword ptr [ebp+8]
    add esi, ebx
    cmp esp, esi
    jne 2f
    lea esp, [ebp-12]
    pop ebx
    pop edi
    pop esi
    pop ebp
    ret
2:  lea esp, [ebp-12]
    call _KorvalinStackImbalance
    .att_syntax prefix
)");
#elif defined(__x86_64__)
// Unwind data for each routine, so that an exception raised inside a bound
// function (or a debugger) can walk past these frames.
asm(R"(
    .intel_syntax noprefix
    .text
    .globl KorvalinCallDeclaredFunction
    .seh_proc KorvalinCallDeclaredFunction
KorvalinCallDeclaredFunction:
    sub rsp, 0x68
    .seh_stackalloc 0x68
    .seh_endprologue
    mov [rsp+0x20], rcx
    mov [rsp+0x28], rdx
    mov [rsp+0x30], r8
    mov [rsp+0x38], r9
    movq [rsp+0x40], xmm0
    movq [rsp+0x48], xmm1
    movq [rsp+0x50], xmm2
    movq [rsp+0x58], xmm3
    mov ecx, r10d
    call KorvalinBindForCall
    mov rcx, [rsp+0x20]
    mov rdx, [rsp+0x28]
    mov r8, [rsp+0x30]
    mov r9, [rsp+0x38]
    movq xmm0, [rsp+0x40]
    movq xmm1, [rsp+0x48]
    movq xmm2, [rsp+0x50]
    movq xmm3, [rsp+0x58]
    add rsp, 0x68
    jmp rax
    .seh_endproc

    .globl KorvalinCallService
KorvalinCallService:
    cmp r10, 7
    jae 1f
    lea r11, [rip+KorvalinServiceTable]
    jmp qword ptr [r11 + r10*8]
1:  xor eax, eax
    ret

    # uint64_t KorvalinInvokeIndexed(entry, index, slots, count): the slots
    # are the arguments, 8 bytes each, at least four of them.
    .globl KorvalinInvokeIndexed
    .seh_proc KorvalinInvokeIndexed
KorvalinInvokeIndexed:
    push rbp
    .seh_pushreg rbp
    push rsi
    .seh_pushreg rsi
    push rdi
    .seh_pushreg rdi
    mov rbp, rsp
    .seh_setframe rbp, 0
    .seh_endprologue
    mov r11, rcx
    mov r10d, edx
    mov eax, r9d
    cmp eax, 4
    jae 3f
    mov eax, 4
3:  add eax, 1
    and eax, -2
    shl eax, 3
    sub rsp, rax
    mov rsi, r8
    mov rdi, rsp
    mov ecx, r9d
    cld
    rep movsq
    mov rcx, [r8]
    mov rdx, [r8+8]
    mov r9, [r8+24]
    movq xmm0, [r8]
    movq xmm1, [r8+8]
    movq xmm2, [r8+16]
    movq xmm3, [r8+24]
    mov r8, [r8+16]
    call r11
    lea rsp, [rbp]
    pop rdi
    pop rsi
    pop rbp
    ret
    .seh_endproc
    .att_syntax prefix
)");
#else
#error "unsupported architecture"
#endif
