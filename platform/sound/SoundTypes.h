#pragma once

#include <cstdint>

// The records, flags and result codes of the sound-buffer calls, in their
// Win32 shape with this layer's own values.
namespace Platform {

using HRESULT = int32_t;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_INVALIDPARAM = int32_t(0x88790001);
constexpr HRESULT DSERR_OUTOFMEMORY = int32_t(0x88790002);
constexpr HRESULT DSERR_ALLOCATED = int32_t(0x88790003);
constexpr HRESULT DSERR_INVALIDCALL = int32_t(0x88790004);
constexpr HRESULT DSERR_UNINITIALIZED = int32_t(0x88790005);
constexpr HRESULT DSERR_BADFORMAT = int32_t(0x88790006);
constexpr HRESULT DSERR_NODRIVER = int32_t(0x88790007);

constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;
};

constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr uint32_t DSBCAPS_STATIC = 0x2;
constexpr uint32_t DSBCAPS_LOCSOFTWARE = 0x8;
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;

// Static buffers hold at most this many bytes.
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

struct DSBUFFERDESC {
    uint32_t dwSize = sizeof(DSBUFFERDESC);
    uint32_t dwFlags = 0;
    uint32_t dwBufferBytes = 0;
    uint32_t dwReserved = 0;
    const WAVEFORMATEX* lpwfxFormat = nullptr;
};

constexpr uint32_t DSSCL_NORMAL = 1;
constexpr uint32_t DSSCL_PRIORITY = 2;

constexpr uint32_t DSBPLAY_LOOPING = 0x1;
constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr uint32_t DSBSTATUS_LOOPING = 0x4;

// Volume and pan in hundredths of a decibel.
constexpr int32_t DSBVOLUME_MIN = -10000;
constexpr int32_t DSBVOLUME_MAX = 0;
constexpr int32_t DSBPAN_LEFT = -10000;
constexpr int32_t DSBPAN_RIGHT = 10000;

} // namespace Platform
