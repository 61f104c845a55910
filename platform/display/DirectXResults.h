#pragma once

// S_OK, E_FAIL and E_INVALIDARG come with the folder calls.
#include "platform/storage/Folders.h"

#include <cstdint>

// The result codes of the display and 3D calls, in their COM shape with this
// layer's own values. Only their names ever leave the program. The general
// COM codes keep their published values because callers compare with them.
namespace Platform {

using HRESULT = int32_t;

constexpr bool FAILED(HRESULT result) { return result < 0; }
constexpr bool SUCCEEDED(HRESULT result) { return result >= 0; }

constexpr HRESULT DD_OK = 0;
constexpr HRESULT D3D_OK = 0;

constexpr HRESULT E_NOTIMPL = int32_t(0x80004001);
constexpr HRESULT E_NOINTERFACE = int32_t(0x80004002);
constexpr HRESULT CLASS_E_NOAGGREGATION = int32_t(0x80040110);
constexpr HRESULT CO_E_NOTINITIALIZED = int32_t(0x800401F0);
constexpr HRESULT E_OUTOFMEMORY = int32_t(0x8007000E);

constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DDERR_NOTINITIALIZED = CO_E_NOTINITIALIZED;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DSERR_NOAGGREGATION = CLASS_E_NOAGGREGATION;

namespace DirectXCodes {
constexpr HRESULT DirectDraw(uint32_t n) { return int32_t(0x88760000u + n); }
constexpr HRESULT Direct3D(uint32_t n) { return int32_t(0x88770000u + n); }
} // namespace DirectXCodes

constexpr HRESULT DDERR_ALREADYINITIALIZED = DirectXCodes::DirectDraw(1);
constexpr HRESULT DDERR_BLTFASTCANTCLIP = DirectXCodes::DirectDraw(2);
constexpr HRESULT DDERR_CANNOTATTACHSURFACE = DirectXCodes::DirectDraw(3);
constexpr HRESULT DDERR_CANNOTDETACHSURFACE = DirectXCodes::DirectDraw(4);
constexpr HRESULT DDERR_CANTCREATEDC = DirectXCodes::DirectDraw(5);
constexpr HRESULT DDERR_CANTDUPLICATE = DirectXCodes::DirectDraw(6);
constexpr HRESULT DDERR_CANTLOCKSURFACE = DirectXCodes::DirectDraw(7);
constexpr HRESULT DDERR_CANTPAGELOCK = DirectXCodes::DirectDraw(8);
constexpr HRESULT DDERR_CANTPAGEUNLOCK = DirectXCodes::DirectDraw(9);
constexpr HRESULT DDERR_CLIPPERISUSINGHWND = DirectXCodes::DirectDraw(10);
constexpr HRESULT DDERR_COLORKEYNOTSET = DirectXCodes::DirectDraw(11);
constexpr HRESULT DDERR_CURRENTLYNOTAVAIL = DirectXCodes::DirectDraw(12);
constexpr HRESULT DDERR_DCALREADYCREATED = DirectXCodes::DirectDraw(13);
constexpr HRESULT DDERR_DEVICEDOESNTOWNSURFACE = DirectXCodes::DirectDraw(14);
constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = DirectXCodes::DirectDraw(15);
constexpr HRESULT DDERR_EXCEPTION = DirectXCodes::DirectDraw(16);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = DirectXCodes::DirectDraw(17);
constexpr HRESULT DDERR_EXPIRED = DirectXCodes::DirectDraw(18);
constexpr HRESULT DDERR_HEIGHTALIGN = DirectXCodes::DirectDraw(19);
constexpr HRESULT DDERR_HWNDALREADYSET = DirectXCodes::DirectDraw(20);
constexpr HRESULT DDERR_HWNDSUBCLASSED = DirectXCodes::DirectDraw(21);
constexpr HRESULT DDERR_IMPLICITLYCREATED = DirectXCodes::DirectDraw(22);
constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = DirectXCodes::DirectDraw(23);
constexpr HRESULT DDERR_INVALIDCAPS = DirectXCodes::DirectDraw(24);
constexpr HRESULT DDERR_INVALIDCLIPLIST = DirectXCodes::DirectDraw(25);
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = DirectXCodes::DirectDraw(26);
constexpr HRESULT DDERR_INVALIDMODE = DirectXCodes::DirectDraw(27);
constexpr HRESULT DDERR_INVALIDOBJECT = DirectXCodes::DirectDraw(28);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = DirectXCodes::DirectDraw(29);
constexpr HRESULT DDERR_INVALIDPOSITION = DirectXCodes::DirectDraw(30);
constexpr HRESULT DDERR_INVALIDRECT = DirectXCodes::DirectDraw(31);
constexpr HRESULT DDERR_INVALIDSTREAM = DirectXCodes::DirectDraw(32);
constexpr HRESULT DDERR_INVALIDSURFACETYPE = DirectXCodes::DirectDraw(33);
constexpr HRESULT DDERR_LOCKEDSURFACES = DirectXCodes::DirectDraw(34);
constexpr HRESULT DDERR_MOREDATA = DirectXCodes::DirectDraw(35);
constexpr HRESULT DDERR_NO3D = DirectXCodes::DirectDraw(36);
constexpr HRESULT DDERR_NOALPHAHW = DirectXCodes::DirectDraw(37);
constexpr HRESULT DDERR_NOBLTHW = DirectXCodes::DirectDraw(38);
constexpr HRESULT DDERR_NOCLIPLIST = DirectXCodes::DirectDraw(39);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = DirectXCodes::DirectDraw(40);
constexpr HRESULT DDERR_NOCOLORCONVHW = DirectXCodes::DirectDraw(41);
constexpr HRESULT DDERR_NOCOLORKEY = DirectXCodes::DirectDraw(42);
constexpr HRESULT DDERR_NOCOLORKEYHW = DirectXCodes::DirectDraw(43);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = DirectXCodes::DirectDraw(44);
constexpr HRESULT DDERR_NODC = DirectXCodes::DirectDraw(45);
constexpr HRESULT DDERR_NODDROPSHW = DirectXCodes::DirectDraw(46);
constexpr HRESULT DDERR_NODIRECTDRAWHW = DirectXCodes::DirectDraw(47);
constexpr HRESULT DDERR_NODIRECTDRAWSUPPORT = DirectXCodes::DirectDraw(48);
constexpr HRESULT DDERR_NOEMULATION = DirectXCodes::DirectDraw(49);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = DirectXCodes::DirectDraw(50);
constexpr HRESULT DDERR_NOFLIPHW = DirectXCodes::DirectDraw(51);
constexpr HRESULT DDERR_NOFOCUSWINDOW = DirectXCodes::DirectDraw(52);
constexpr HRESULT DDERR_NOGDI = DirectXCodes::DirectDraw(53);
constexpr HRESULT DDERR_NOHWND = DirectXCodes::DirectDraw(54);
constexpr HRESULT DDERR_NOMIPMAPHW = DirectXCodes::DirectDraw(55);
constexpr HRESULT DDERR_NOMIRRORHW = DirectXCodes::DirectDraw(56);
constexpr HRESULT DDERR_NONONLOCALVIDMEM = DirectXCodes::DirectDraw(57);
constexpr HRESULT DDERR_NOOPTIMIZEHW = DirectXCodes::DirectDraw(58);
constexpr HRESULT DDERR_NOOVERLAYHW = DirectXCodes::DirectDraw(59);
constexpr HRESULT DDERR_NOPALETTEATTACHED = DirectXCodes::DirectDraw(60);
constexpr HRESULT DDERR_NOPALETTEHW = DirectXCodes::DirectDraw(61);
constexpr HRESULT DDERR_NORASTEROPHW = DirectXCodes::DirectDraw(62);
constexpr HRESULT DDERR_NOROTATIONHW = DirectXCodes::DirectDraw(63);
constexpr HRESULT DDERR_NOSTEREOHARDWARE = DirectXCodes::DirectDraw(64);
constexpr HRESULT DDERR_NOSTRETCHHW = DirectXCodes::DirectDraw(65);
constexpr HRESULT DDERR_NOSURFACELEFT = DirectXCodes::DirectDraw(66);
constexpr HRESULT DDERR_NOT4BITCOLOR = DirectXCodes::DirectDraw(67);
constexpr HRESULT DDERR_NOT4BITCOLORINDEX = DirectXCodes::DirectDraw(68);
constexpr HRESULT DDERR_NOT8BITCOLOR = DirectXCodes::DirectDraw(69);
constexpr HRESULT DDERR_NOTAOVERLAYSURFACE = DirectXCodes::DirectDraw(70);
constexpr HRESULT DDERR_NOTEXTUREHW = DirectXCodes::DirectDraw(71);
constexpr HRESULT DDERR_NOTFLIPPABLE = DirectXCodes::DirectDraw(72);
constexpr HRESULT DDERR_NOTFOUND = DirectXCodes::DirectDraw(73);
constexpr HRESULT DDERR_NOTLOADED = DirectXCodes::DirectDraw(74);
constexpr HRESULT DDERR_NOTLOCKED = DirectXCodes::DirectDraw(75);
constexpr HRESULT DDERR_NOTPAGELOCKED = DirectXCodes::DirectDraw(76);
constexpr HRESULT DDERR_NOTPALETTIZED = DirectXCodes::DirectDraw(77);
constexpr HRESULT DDERR_NOVSYNCHW = DirectXCodes::DirectDraw(78);
constexpr HRESULT DDERR_NOZBUFFERHW = DirectXCodes::DirectDraw(79);
constexpr HRESULT DDERR_NOZOVERLAYHW = DirectXCodes::DirectDraw(80);
constexpr HRESULT DDERR_OUTOFCAPS = DirectXCodes::DirectDraw(81);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = DirectXCodes::DirectDraw(82);
constexpr HRESULT DDERR_OVERLAPPINGRECTS = DirectXCodes::DirectDraw(83);
constexpr HRESULT DDERR_OVERLAYCANTCLIP = DirectXCodes::DirectDraw(84);
constexpr HRESULT DDERR_OVERLAYCOLORKEYONLYONEACTIVE = DirectXCodes::DirectDraw(85);
constexpr HRESULT DDERR_OVERLAYNOTVISIBLE = DirectXCodes::DirectDraw(86);
constexpr HRESULT DDERR_PALETTEBUSY = DirectXCodes::DirectDraw(87);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = DirectXCodes::DirectDraw(88);
constexpr HRESULT DDERR_REGIONTOOSMALL = DirectXCodes::DirectDraw(89);
constexpr HRESULT DDERR_SURFACEALREADYATTACHED = DirectXCodes::DirectDraw(90);
constexpr HRESULT DDERR_SURFACEALREADYDEPENDENT = DirectXCodes::DirectDraw(91);
constexpr HRESULT DDERR_SURFACEBUSY = DirectXCodes::DirectDraw(92);
constexpr HRESULT DDERR_SURFACEISOBSCURED = DirectXCodes::DirectDraw(93);
constexpr HRESULT DDERR_SURFACELOST = DirectXCodes::DirectDraw(94);
constexpr HRESULT DDERR_SURFACENOTATTACHED = DirectXCodes::DirectDraw(95);
constexpr HRESULT DDERR_TOOBIGHEIGHT = DirectXCodes::DirectDraw(96);
constexpr HRESULT DDERR_TOOBIGSIZE = DirectXCodes::DirectDraw(97);
constexpr HRESULT DDERR_TOOBIGWIDTH = DirectXCodes::DirectDraw(98);
constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = DirectXCodes::DirectDraw(99);
constexpr HRESULT DDERR_UNSUPPORTEDMASK = DirectXCodes::DirectDraw(100);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = DirectXCodes::DirectDraw(101);
constexpr HRESULT DDERR_VERTICALBLANKINPROGRESS = DirectXCodes::DirectDraw(102);
constexpr HRESULT DDERR_VIDEONOTACTIVE = DirectXCodes::DirectDraw(103);
constexpr HRESULT DDERR_WASSTILLDRAWING = DirectXCodes::DirectDraw(104);
constexpr HRESULT DDERR_WRONGMODE = DirectXCodes::DirectDraw(105);
constexpr HRESULT DDERR_XALIGN = DirectXCodes::DirectDraw(106);

constexpr HRESULT D3DERR_BADMAJORVERSION = DirectXCodes::Direct3D(1);
constexpr HRESULT D3DERR_BADMINORVERSION = DirectXCodes::Direct3D(2);
constexpr HRESULT D3DERR_COLORKEYATTACHED = DirectXCodes::Direct3D(3);
constexpr HRESULT D3DERR_CONFLICTINGTEXTUREFILTER = DirectXCodes::Direct3D(4);
constexpr HRESULT D3DERR_CONFLICTINGTEXTUREPALETTE = DirectXCodes::Direct3D(5);
constexpr HRESULT D3DERR_CONFLICTINGRENDERSTATE = DirectXCodes::Direct3D(6);
constexpr HRESULT D3DERR_DEVICEAGGREGATED = DirectXCodes::Direct3D(7);
constexpr HRESULT D3DERR_INITFAILED = DirectXCodes::Direct3D(8);
constexpr HRESULT D3DERR_INBEGIN = DirectXCodes::Direct3D(9);
constexpr HRESULT D3DERR_INBEGINSTATEBLOCK = DirectXCodes::Direct3D(10);
constexpr HRESULT D3DERR_INVALID_DEVICE = DirectXCodes::Direct3D(11);
constexpr HRESULT D3DERR_INVALIDCURRENTVIEWPORT = DirectXCodes::Direct3D(12);
constexpr HRESULT D3DERR_INVALIDMATRIX = DirectXCodes::Direct3D(13);
constexpr HRESULT D3DERR_INVALIDPALETTE = DirectXCodes::Direct3D(14);
constexpr HRESULT D3DERR_INVALIDPRIMITIVETYPE = DirectXCodes::Direct3D(15);
constexpr HRESULT D3DERR_INVALIDRAMPTEXTURE = DirectXCodes::Direct3D(16);
constexpr HRESULT D3DERR_INVALIDSTATEBLOCK = DirectXCodes::Direct3D(17);
constexpr HRESULT D3DERR_INVALIDVERTEXFORMAT = DirectXCodes::Direct3D(18);
constexpr HRESULT D3DERR_INVALIDVERTEXTYPE = DirectXCodes::Direct3D(19);
constexpr HRESULT D3DERR_LIGHT_SET_FAILED = DirectXCodes::Direct3D(20);
constexpr HRESULT D3DERR_LIGHTHASVIEWPORT = DirectXCodes::Direct3D(21);
constexpr HRESULT D3DERR_LIGHTNOTINTHISVIEWPORT = DirectXCodes::Direct3D(22);
constexpr HRESULT D3DERR_MATERIAL_CREATE_FAILED = DirectXCodes::Direct3D(23);
constexpr HRESULT D3DERR_MATERIAL_DESTROY_FAILED = DirectXCodes::Direct3D(24);
constexpr HRESULT D3DERR_MATERIAL_GETDATA_FAILED = DirectXCodes::Direct3D(25);
constexpr HRESULT D3DERR_MATERIAL_SETDATA_FAILED = DirectXCodes::Direct3D(26);
constexpr HRESULT D3DERR_MATRIX_CREATE_FAILED = DirectXCodes::Direct3D(27);
constexpr HRESULT D3DERR_MATRIX_DESTROY_FAILED = DirectXCodes::Direct3D(28);
constexpr HRESULT D3DERR_MATRIX_GETDATA_FAILED = DirectXCodes::Direct3D(29);
constexpr HRESULT D3DERR_MATRIX_SETDATA_FAILED = DirectXCodes::Direct3D(30);
constexpr HRESULT D3DERR_NOCURRENTVIEWPORT = DirectXCodes::Direct3D(31);
constexpr HRESULT D3DERR_NOTINBEGIN = DirectXCodes::Direct3D(32);
constexpr HRESULT D3DERR_NOTINBEGINSTATEBLOCK = DirectXCodes::Direct3D(33);
constexpr HRESULT D3DERR_NOVIEWPORTS = DirectXCodes::Direct3D(34);
constexpr HRESULT D3DERR_SCENE_BEGIN_FAILED = DirectXCodes::Direct3D(35);
constexpr HRESULT D3DERR_SCENE_END_FAILED = DirectXCodes::Direct3D(36);
constexpr HRESULT D3DERR_SCENE_IN_SCENE = DirectXCodes::Direct3D(37);
constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = DirectXCodes::Direct3D(38);
constexpr HRESULT D3DERR_SETVIEWPORTDATA_FAILED = DirectXCodes::Direct3D(39);
constexpr HRESULT D3DERR_STENCILBUFFER_NOTPRESENT = DirectXCodes::Direct3D(40);
constexpr HRESULT D3DERR_SURFACENOTINVIDMEM = DirectXCodes::Direct3D(41);
constexpr HRESULT D3DERR_TEXTURE_BADSIZE = DirectXCodes::Direct3D(42);
constexpr HRESULT D3DERR_TEXTURE_CREATE_FAILED = DirectXCodes::Direct3D(43);
constexpr HRESULT D3DERR_TEXTURE_DESTROY_FAILED = DirectXCodes::Direct3D(44);
constexpr HRESULT D3DERR_TEXTURE_GETSURF_FAILED = DirectXCodes::Direct3D(45);
constexpr HRESULT D3DERR_TEXTURE_LOAD_FAILED = DirectXCodes::Direct3D(46);
constexpr HRESULT D3DERR_TEXTURE_LOCK_FAILED = DirectXCodes::Direct3D(47);
constexpr HRESULT D3DERR_TEXTURE_LOCKED = DirectXCodes::Direct3D(48);
constexpr HRESULT D3DERR_TEXTURE_NO_SUPPORT = DirectXCodes::Direct3D(49);
constexpr HRESULT D3DERR_TEXTURE_NOT_LOCKED = DirectXCodes::Direct3D(50);
constexpr HRESULT D3DERR_TEXTURE_SWAP_FAILED = DirectXCodes::Direct3D(51);
constexpr HRESULT D3DERR_TEXTURE_UNLOCK_FAILED = DirectXCodes::Direct3D(52);
constexpr HRESULT D3DERR_TOOMANYOPERATIONS = DirectXCodes::Direct3D(53);
constexpr HRESULT D3DERR_TOOMANYPRIMITIVES = DirectXCodes::Direct3D(54);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAARG = DirectXCodes::Direct3D(55);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAOPERATION = DirectXCodes::Direct3D(56);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLORARG = DirectXCodes::Direct3D(57);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLOROPERATION = DirectXCodes::Direct3D(58);
constexpr HRESULT D3DERR_UNSUPPORTEDFACTORVALUE = DirectXCodes::Direct3D(59);
constexpr HRESULT D3DERR_UNSUPPORTEDTEXTUREFILTER = DirectXCodes::Direct3D(60);
constexpr HRESULT D3DERR_VBUF_CREATE_FAILED = DirectXCodes::Direct3D(61);
constexpr HRESULT D3DERR_VERTEXBUFFERLOCKED = DirectXCodes::Direct3D(62);
constexpr HRESULT D3DERR_VERTEXBUFFEROPTIMIZED = DirectXCodes::Direct3D(63);
constexpr HRESULT D3DERR_VERTEXBUFFERUNLOCKFAILED = DirectXCodes::Direct3D(64);
constexpr HRESULT D3DERR_VIEWPORTDATANOTSET = DirectXCodes::Direct3D(65);
constexpr HRESULT D3DERR_VIEWPORTHASNODEVICE = DirectXCodes::Direct3D(66);
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = DirectXCodes::Direct3D(67);
constexpr HRESULT D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY = DirectXCodes::Direct3D(68);
constexpr HRESULT D3DERR_ZBUFF_NEEDS_VIDEOMEMORY = DirectXCodes::Direct3D(69);
constexpr HRESULT D3DERR_ZBUFFER_NOTPRESENT = DirectXCodes::Direct3D(70);

} // namespace Platform
