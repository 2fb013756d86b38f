// The rig's d3dcompiler_47.dll: its exports are forwarders (d3dcompiler_47.def). Its one piece of
// code stops the clock of the program it is loaded into when TOBRIN_RIG_FROZEN_CLOCK is set, so the
// Windows build's frames show one instant, as LD_PRELOAD=libtobrin_frozen_clock.so does for the
// Linux build. Wine's d3dx9_42.dll imports this DLL, so it is loaded, and the program's imports
// bound, before the program's first instruction runs.
#include <windows.h>

#include <string.h>

static LARGE_INTEGER frozen;
static BOOL started;

static BOOL WINAPI FrozenQueryPerformanceCounter(LARGE_INTEGER* count) {
  if (!started) {
    if (!QueryPerformanceCounter(&frozen)) return FALSE;
    started = TRUE;
  }
  *count = frozen;
  return TRUE;
}

// Points the program's own import of QueryPerformanceCounter at the stopped clock; the DLLs it
// loads keep the real one, so waits and timeouts still end.
static void FreezeClockOf(HMODULE module) {
  BYTE* base = (BYTE*)module;
  IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
  IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return;
  for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress);
       d->Name; ++d) {
    if (!d->OriginalFirstThunk) continue;
    IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
    IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      IMAGE_IMPORT_BY_NAME* name = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
      if (strcmp((const char*)name->Name, "QueryPerformanceCounter") != 0) continue;
      DWORD old;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old))
        return;
      slots->u1.Function = (ULONG_PTR)FrozenQueryPerformanceCounter;
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
    }
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH && GetEnvironmentVariableA("TOBRIN_RIG_FROZEN_CLOCK", NULL, 0))
    FreezeClockOf(GetModuleHandleA(NULL));
  return TRUE;
}
