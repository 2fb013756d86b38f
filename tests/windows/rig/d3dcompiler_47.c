// The rig's d3dcompiler_47.dll: its exports are forwarders (d3dcompiler_47.def). Its code mends
// two things for the comparisons, each when its variable is set, by re-pointing the program's own
// imports (the DLLs it loads keep theirs). Wine's d3dx9_42.dll imports this DLL, so it is loaded,
// and the program's imports bound, before the program's first instruction runs.
// - TOBRIN_RIG_FROZEN_CLOCK: the clock stops at its first read, so the Windows build's frames show
//   one instant, as LD_PRELOAD=libtobrin_frozen_clock.so does for the Linux build.
// - TOBRIN_RIG_BOX_MIPS: textures loaded from files get their mip levels as D3DX's default filter
//   makes them, each texel the mean of four (Wine's D3DX picks one of the four instead).
#define COBJMACROS
#include <windows.h>
#include <d3d9.h>

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

typedef HRESULT(WINAPI* TextureFromFileEx)(IDirect3DDevice9*, const char*, UINT, UINT, UINT, DWORD,
                                            D3DFORMAT, D3DPOOL, DWORD, DWORD, D3DCOLOR, void*,
                                            PALETTEENTRY*, IDirect3DTexture9**);

// Level `to` from level `to - 1`, pair by pair rounded as the Linux build's loader rounds, for the
// 32-bit formats the program's images load as; other formats keep what Wine made.
static void BoxLevel(IDirect3DTexture9* texture, UINT to) {
  D3DSURFACE_DESC big, small;
  if (FAILED(IDirect3DTexture9_GetLevelDesc(texture, to - 1, &big)) ||
      FAILED(IDirect3DTexture9_GetLevelDesc(texture, to, &small)))
    return;
  if (big.Format != D3DFMT_X8R8G8B8 && big.Format != D3DFMT_A8R8G8B8) return;
  D3DLOCKED_RECT from, into;
  if (FAILED(IDirect3DTexture9_LockRect(texture, to - 1, &from, NULL, D3DLOCK_READONLY))) return;
  if (FAILED(IDirect3DTexture9_LockRect(texture, to, &into, NULL, 0))) {
    IDirect3DTexture9_UnlockRect(texture, to - 1);
    return;
  }
  for (UINT y = 0; y < small.Height; ++y) {
    const UINT y0 = min(2 * y, big.Height - 1), y1 = min(2 * y + 1, big.Height - 1);
    const BYTE* row0 = (const BYTE*)from.pBits + y0 * from.Pitch;
    const BYTE* row1 = (const BYTE*)from.pBits + y1 * from.Pitch;
    BYTE* out = (BYTE*)into.pBits + y * into.Pitch;
    for (UINT x = 0; x < small.Width; ++x) {
      const UINT x0 = min(2 * x, big.Width - 1), x1 = min(2 * x + 1, big.Width - 1);
      for (int c = 0; c < 4; ++c) {
        const int top = (row0[4 * x0 + c] + row0[4 * x1 + c] + 1) >> 1;
        const int bottom = (row1[4 * x0 + c] + row1[4 * x1 + c] + 1) >> 1;
        out[4 * x + c] = (BYTE)((top + bottom + 1) >> 1);
      }
    }
  }
  IDirect3DTexture9_UnlockRect(texture, to);
  IDirect3DTexture9_UnlockRect(texture, to - 1);
}

static HRESULT WINAPI BoxMipTextureFromFile(IDirect3DDevice9* device, const char* file,
                                            IDirect3DTexture9** texture) {
  const TextureFromFileEx load = (TextureFromFileEx)(void (*)(void))GetProcAddress(
      GetModuleHandleA("d3dx9_42.dll"), "D3DXCreateTextureFromFileExA");
  if (!load) return E_FAIL;
  // D3DXCreateTextureFromFileA's own defaults: every size, format and filter D3DX_DEFAULT.
  const UINT kDefault = (UINT)-1;
  const HRESULT result = load(device, file, kDefault, kDefault, kDefault, 0, D3DFMT_UNKNOWN,
                              D3DPOOL_MANAGED, kDefault, kDefault, 0, NULL, NULL, texture);
  if (SUCCEEDED(result) && *texture) {
    const DWORD levels = IDirect3DTexture9_GetLevelCount(*texture);
    for (DWORD level = 1; level < levels; ++level) BoxLevel(*texture, level);
  }
  return result;
}

// Points the program's own import NAME at REPLACEMENT.
static void ReplaceImport(HMODULE module, const char* wanted, void* replacement) {
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
      if (strcmp((const char*)name->Name, wanted) != 0) continue;
      DWORD old;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old))
        return;
      slots->u1.Function = (ULONG_PTR)replacement;
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
    }
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
  (void)instance;
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  if (GetEnvironmentVariableA("TOBRIN_RIG_FROZEN_CLOCK", NULL, 0))
    ReplaceImport(GetModuleHandleA(NULL), "QueryPerformanceCounter",
                  (void*)FrozenQueryPerformanceCounter);
  if (GetEnvironmentVariableA("TOBRIN_RIG_BOX_MIPS", NULL, 0))
    ReplaceImport(GetModuleHandleA(NULL), "D3DXCreateTextureFromFileA",
                  (void*)BoxMipTextureFromFile);
  return TRUE;
}
