#pragma once

// Our declarations of the part of the Adobe effect plug-in API that the
// plug-in and the command-line host use, with the published names, numbers
// and 64-bit Windows layout. No member needs more than 8-byte alignment, so
// the compiler's natural layout is the SDK's; the checks at the end pin it.

#include <cstddef>
#include <cstdint>

extern "C" {

// Basic types.
using A_long = std::int32_t;
using A_u_long = std::uint32_t;
using A_short = short;
using A_u_short = unsigned short;
using A_char = char;
using A_u_char = unsigned char;
using A_Boolean = unsigned char;
using A_FpLong = double;
using A_FpShort = float;
using A_Err = A_long;
using A_Handle = void*;
using A_Fixed = A_long;
using A_UFixed = A_u_long;
using A_intptr_t = std::int64_t;
using A_u_longlong = std::uint64_t;
using A_HandleSize = A_u_longlong;

struct A_Time {
  A_long value;
  A_u_long scale;
};

using PF_Err = A_long;
using PF_Cmd = A_long;
using PF_Boolean = A_char;
using PF_Fixed = A_long;
using PF_UFixed = A_u_long;
using PF_FpLong = A_FpLong;
using PF_FpShort = A_FpShort;
using PF_Handle = void**;
using PF_ArbitraryH = PF_Handle;
struct _PF_ProgressInfo;
using PF_ProgPtr = _PF_ProgressInfo*;
using PF_ParamValue = A_long;
using PF_ParamIndex = A_long;
using PF_ParamType = A_long;
using PF_ParamFlags = A_long;
using PF_ParamUIFlags = A_long;
using PF_ChangeFlags = A_long;
using PF_OutFlags = A_long;
using PF_OutFlags2 = A_long;
using PF_InFlags = A_long;
using PF_Quality = A_long;
using PF_Field = A_long;
using PF_ModeFlags = A_long;
using PF_WorldFlags = A_long;
using PF_NewWorldFlags = A_long;
using PF_ValueDisplayFlags = A_short;
using PF_Precision = A_short;
using PF_FSliderFlags = A_u_long;
using PF_FunctionSelector = A_long;
using PF_ArbCompareResult = A_long;
using PF_ArbPrintFlags = A_long;
using PF_PathID = A_u_long;
using PF_KeyIndex = A_long;
using PF_TimeDir = A_long;
using PF_CallbackID = A_long;
using PF_PlatDataID = A_long;
using SPErr = std::int32_t;
using SPBoolean = std::int32_t;

// Premiere Pro pixel formats: four characters packed little-endian.
enum PrPixelFormat {
  PrPixelFormat_Any = 0,
  PrPixelFormat_BGRA_4444_8u = 0x61726762,
  PrPixelFormat_BGRA_4444_16u = 0x61726742,
  PrPixelFormat_BGRA_4444_32f = 0x61724742,
  PrPixelFormat_ARGB_4444_8u = 0x62677261,
  PrPixelFormat_ARGB_4444_16u = 0x62677241,
  PrPixelFormat_ARGB_4444_32f = 0x62675241,
  PrPixelFormat_XRGB_4444_8u = 0x62677278,
  PrPixelFormat_XRGB_4444_16u = 0x62677258,
  PrPixelFormat_BGRX_4444_8u = 0x78726762,
  PrPixelFormat_BGRX_4444_16u = 0x78726742,
  PrPixelFormat_BGRX_4444_32f = 0x78724742,
  PrPixelFormat_VUYA_4444_8u = 0x61797576,
  PrPixelFormat_Invalid = 0x66646162,
};

// Commands.
enum {
  PF_Cmd_ABOUT = 0,
  PF_Cmd_GLOBAL_SETUP,
  PF_Cmd_UNUSED_0,
  PF_Cmd_GLOBAL_SETDOWN,
  PF_Cmd_PARAMS_SETUP,
  PF_Cmd_SEQUENCE_SETUP,
  PF_Cmd_SEQUENCE_RESETUP,
  PF_Cmd_SEQUENCE_FLATTEN,
  PF_Cmd_SEQUENCE_SETDOWN,
  PF_Cmd_DO_DIALOG,
  PF_Cmd_FRAME_SETUP,
  PF_Cmd_RENDER,
  PF_Cmd_FRAME_SETDOWN,
  PF_Cmd_USER_CHANGED_PARAM,
  PF_Cmd_UPDATE_PARAMS_UI,
  PF_Cmd_EVENT,
  PF_Cmd_GET_EXTERNAL_DEPENDENCIES,
  PF_Cmd_COMPLETELY_GENERAL,
  PF_Cmd_QUERY_DYNAMIC_FLAGS,
  PF_Cmd_AUDIO_RENDER,
  PF_Cmd_AUDIO_SETUP,
  PF_Cmd_AUDIO_SETDOWN,
  PF_Cmd_ARBITRARY_CALLBACK,
  PF_Cmd_SMART_PRE_RENDER,
  PF_Cmd_SMART_RENDER,
  PF_Cmd_RESERVED1,
  PF_Cmd_RESERVED2,
  PF_Cmd_RESERVED3,
  PF_Cmd_GET_FLATTENED_SEQUENCE_DATA,
  PF_Cmd_TRANSLATE_PARAMS_TO_PREFS,
  PF_Cmd_RESERVED4,
  PF_Cmd_SMART_RENDER_GPU,
  PF_Cmd_GPU_DEVICE_SETUP,
  PF_Cmd_GPU_DEVICE_SETDOWN,
  PF_Cmd_NUM_CMDS
};

// Error codes.
enum {
  PF_Err_NONE = 0,
  PF_Err_OUT_OF_MEMORY = 4,
  PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
  PF_Err_INVALID_INDEX,
  PF_Err_UNRECOGNIZED_PARAM_TYPE,
  PF_Err_INVALID_CALLBACK,
  PF_Err_BAD_CALLBACK_PARAM,
  PF_Interrupt_CANCEL,
  PF_Err_CANNOT_PARSE_KEYFRAME_TEXT
};

enum {
  A_Err_NONE = 0,
  A_Err_GENERIC = 1,
  A_Err_STRUCT = 2,
  A_Err_PARAMETER = 3,
  A_Err_ALLOC = 4,
  A_Err_WRONG_THREAD = 5,
  A_Err_CONST_PROJECT_MODIFICATION = 6,
  A_Err_MISSING_SUITE = 13,
};

enum { kSPNoError = 0, kSPSuiteNotFoundError = 0x53214664 };

// out_data->out_flags (only the flags this code base uses or tests against).
enum {
  PF_OutFlag_NONE = 0,
  PF_OutFlag_DISPLAY_ERROR_MESSAGE = 0x00000100,
  PF_OutFlag_DEEP_COLOR_AWARE = 0x02000000,
  PF_OutFlag_SEND_UPDATE_PARAMS_UI = 0x04000000,
};

enum { PF_OutFlag2_NONE = 0 };

// Parameter types.
enum {
  PF_Param_RESERVED = -1,
  PF_Param_LAYER = 0,
  PF_Param_SLIDER,
  PF_Param_FIX_SLIDER,
  PF_Param_ANGLE,
  PF_Param_CHECKBOX,
  PF_Param_COLOR,
  PF_Param_POINT,
  PF_Param_POPUP,
  PF_Param_CUSTOM,
  PF_Param_NO_DATA,
  PF_Param_FLOAT_SLIDER,
  PF_Param_ARBITRARY_DATA,
  PF_Param_PATH,
  PF_Param_GROUP_START,
  PF_Param_GROUP_END,
  PF_Param_BUTTON,
  PF_Param_RESERVED2,
  PF_Param_RESERVED3,
  PF_Param_POINT_3D
};

enum {
  PF_ParamFlag_NONE = 0,
  PF_ParamFlag_RESERVED1 = 1 << 0,
  PF_ParamFlag_CANNOT_TIME_VARY = 1 << 1,
  PF_ParamFlag_CANNOT_INTERP = 1 << 2,
  PF_ParamFlag_COLLAPSE_TWIRLY = 1 << 5,
  PF_ParamFlag_SUPERVISE = 1 << 6,
};

enum {
  PF_PUI_NONE = 0,
  PF_PUI_TOPIC = 1 << 0,
  PF_PUI_CONTROL = 1 << 1,
  PF_PUI_STD_CONTROL_ONLY = 1 << 2,
  PF_PUI_NO_ECW_UI = 1 << 3,
  PF_PUI_ECW_SEPARATOR = 1 << 4,
  PF_PUI_DISABLED = 1 << 5,
  PF_PUI_DONT_ERASE_TOPIC = 1 << 6,
  PF_PUI_DONT_ERASE_CONTROL = 1 << 7,
  PF_PUI_RADIO_BUTTON = 1 << 8,
  PF_PUI_INVISIBLE = 1 << 9,
};

enum {
  PF_ChangeFlag_NONE = 0,
  PF_ChangeFlag_CHANGED_VALUE = 1,
  PF_ChangeFlag_RESERVED = 2,
  PF_ChangeFlag_SET_TO_VARY = 4,
  PF_ChangeFlag_SET_TO_CONSTANT = 8,
};

enum { PF_ValueDisplayFlag_NONE = 0, PF_ValueDisplayFlag_PERCENT = 1, PF_ValueDisplayFlag_PIXEL = 2 };
enum { PF_Precision_INTEGER, PF_Precision_TENTHS, PF_Precision_HUNDREDTHS };
enum { PF_FSliderFlag_NONE = 0, PF_FSliderFlag_WANT_PHASE = 1 };
enum { PF_Stage_DEVELOP, PF_Stage_ALPHA, PF_Stage_BETA, PF_Stage_RELEASE };

enum {
  PF_Arbitrary_NEW_FUNC = 0,
  PF_Arbitrary_DISPOSE_FUNC,
  PF_Arbitrary_COPY_FUNC,
  PF_Arbitrary_FLAT_SIZE_FUNC,
  PF_Arbitrary_FLATTEN_FUNC,
  PF_Arbitrary_UNFLATTEN_FUNC,
  PF_Arbitrary_INTERP_FUNC,
  PF_Arbitrary_COMPARE_FUNC,
  PF_Arbitrary_PRINT_SIZE_FUNC,
  PF_Arbitrary_PRINT_FUNC,
  PF_Arbitrary_SCAN_FUNC
};

enum { PF_ArbCompare_EQUAL = 0, PF_ArbCompare_LESS, PF_ArbCompare_MORE, PF_ArbCompare_NOT_EQUAL };

enum { PF_WorldFlag_DEEP = 1, PF_WorldFlag_WRITEABLE = 2 };
enum { PF_LayerDefault_MYSELF = -1, PF_LayerDefault_NONE = 0 };

enum {
  PF_MAX_EFFECT_NAME_LEN = 31,
  PF_MAX_EFFECT_PARAM_NAME_LEN = 31,
  PF_MAX_PARAM_DESCRIPTION_LEN = 31,
  PF_MAX_PARAM_VALUE_LEN = 31,
  PF_MAX_EFFECT_MSG_LEN = 255,
};

enum { PF_PLUG_IN_VERSION = 13, PF_PLUG_IN_SUBVERS = 29 };

// Host application codes ('PrMr', 'FXTC').
enum : A_long { PF_APPL_ID_PREMIERE = 0x50724D72, PF_APPL_ID_AFTER_EFFECTS = 0x46585443 };

// The version word of out_data->my_version and the PiPL.
constexpr A_u_long PF_VERSION(A_u_long vers, A_u_long subvers, A_u_long bugvers, A_u_long stage, A_u_long build) {
  return (((vers >> 3) & 0xF) << 26) | ((vers & 0x7) << 19) | ((subvers & 0xF) << 15) | ((bugvers & 0xF) << 11) |
         ((stage & 0x3) << 9) | (build & 0x1FF);
}

// Small structures.
struct PF_Pixel {
  A_u_char alpha;
  A_u_char red;
  A_u_char green;
  A_u_char blue;
};
using PF_Pixel8 = PF_Pixel;
using PF_UnionablePixel = PF_Pixel;

struct PF_Pixel16 {
  A_u_short alpha;
  A_u_short red;
  A_u_short green;
  A_u_short blue;
};

struct PF_PixelFloat {
  PF_FpShort alpha;
  PF_FpShort red;
  PF_FpShort green;
  PF_FpShort blue;
};
using PF_Pixel32 = PF_PixelFloat;

struct PF_LRect {
  A_long left;
  A_long top;
  A_long right;
  A_long bottom;
};
using PF_Rect = PF_LRect;

struct PF_Point {
  A_long h;
  A_long v;
};

struct PF_RationalScale {
  A_long num;
  A_u_long den;
};

struct PF_SpecVersion {
  A_short major;
  A_short minor;
};

struct PF_SoundFormatInfo {
  PF_FpLong rateF;
  A_short num_channels;
  A_short format;
  A_short sample_size;
};

struct PF_SoundWorld {
  PF_SoundFormatInfo fi;
  A_long num_samples;
  void* dataP;
};

struct PF_State {
  A_long reservedAL[4];
};

using PF_PixelPtr = PF_Pixel*;

// A frame buffer: the input layer and the output world.
struct PF_LayerDef {
  void* reserved0;
  void* reserved1;
  PF_WorldFlags world_flags;
  PF_PixelPtr data;
  A_long rowbytes;
  A_long width;
  A_long height;
  PF_Rect extent_hint;
  void* platform_ref;
  A_long reserved_long1;
  void* reserved_long4;
  PF_RationalScale pix_aspect_ratio;
  void* reserved_long2;
  A_long origin_x;
  A_long origin_y;
  A_long reserved_long3;
  A_long dephault;
};
using PF_EffectWorld = PF_LayerDef;

// Parameter definitions.
struct PF_SliderDef {
  PF_ParamValue value;
  A_char value_str[32];
  A_char value_desc[32];
  PF_ParamValue valid_min, valid_max;
  PF_ParamValue slider_min, slider_max;
  PF_ParamValue dephault;
};

struct PF_FixedSliderDef {
  PF_Fixed value;
  A_char value_str[32];
  A_char value_desc[32];
  PF_Fixed valid_min, valid_max;
  PF_Fixed slider_min, slider_max;
  PF_Fixed dephault;
  A_short precision;
  PF_ValueDisplayFlags display_flags;
};

struct PF_FloatSliderDef {
  PF_FpLong value;
  PF_FpLong phase;
  A_char value_desc[32];
  PF_FpShort valid_min, valid_max;
  PF_FpShort slider_min, slider_max;
  PF_FpShort dephault;
  PF_Precision precision;
  PF_ValueDisplayFlags display_flags;
  PF_FSliderFlags fs_flags;
  PF_FpShort curve_tolerance;
  PF_Boolean useExponent;
  PF_FpShort exponent;
};

struct PF_AngleDef {
  PF_Fixed value;
  PF_Fixed dephault;
  PF_Fixed valid_min, valid_max;
};

struct PF_CheckBoxDef {
  PF_ParamValue value;
  PF_Boolean dephault;
  A_char reserved;
  A_short reserved1;
  union {
    const A_char* nameptr;
  } u;
};

struct PF_ColorDef {
  PF_UnionablePixel value;
  PF_UnionablePixel dephault;
};

struct PF_PointDef {
  PF_Fixed x_value;
  PF_Fixed y_value;
  A_char reserved[3];
  PF_Boolean restrict_bounds;
  PF_Fixed x_dephault;
  PF_Fixed y_dephault;
};

struct PF_PopupDef {
  PF_ParamValue value;
  A_short num_choices;
  A_short dephault;
  union {
    A_long id;
    const A_char* namesptr;
  } u;
};

struct PF_ArbitraryDef {
  A_short id;
  A_short pad;
  PF_ArbitraryH dephault;
  PF_ArbitraryH value;
  void* refconPV;
};

struct PF_PathDef {
  PF_PathID path_id;
  A_long reserved0;
  A_long dephault;
};

struct PF_ButtonDef {
  PF_ParamValue value;
  union {
    const A_char* namesptr;
  } u;
};

struct PF_Point3DDef {
  PF_FpLong x_value, y_value, z_value;
  PF_FpLong x_dephault, y_dephault, z_dephault;
  char reserved[16];
};

union PF_ParamDefUnion {
  PF_LayerDef ld;
  PF_SliderDef sd;
  PF_FixedSliderDef fd;
  PF_AngleDef ad;
  PF_CheckBoxDef bd;
  PF_ColorDef cd;
  PF_PointDef td;
  PF_PopupDef pd;
  PF_FloatSliderDef fs_d;
  PF_ArbitraryDef arb_d;
  PF_PathDef path_d;
  PF_ButtonDef button_d;
  PF_Point3DDef point3d_d;
};

struct PF_ParamDef {
  union {
    A_long id;
    PF_ChangeFlags change_flags;
  } uu;
  PF_ParamUIFlags ui_flags;
  A_short ui_width;
  A_short ui_height;
  PF_ParamType param_type;
  A_char name[32];
  PF_ParamFlags flags;
  A_long unused;
  PF_ParamDefUnion u;
};
using PF_ParamDefPtr = PF_ParamDef*;
using PF_ParamList = PF_ParamDef**;

// Extra records of USER_CHANGED_PARAM and ARBITRARY_CALLBACK.
struct PF_UserChangedParamExtra {
  PF_ParamIndex param_index;
};

struct PF_ArbParamsExtra {
  PF_FunctionSelector which_function;
  A_short id;
  A_short padding;
  union {
    struct {
      void* refconPV;
      PF_ArbitraryH* arbPH;
    } new_func_params;
    struct {
      void* refconPV;
      PF_ArbitraryH arbH;
    } dispose_func_params;
    struct {
      void* refconPV;
      PF_ArbitraryH src_arbH;
      PF_ArbitraryH* dst_arbPH;
    } copy_func_params;
    struct {
      void* refconPV;
      PF_ArbitraryH arbH;
      A_u_long* flat_data_sizePLu;
    } flat_size_func_params;
    struct {
      void* refconPV;
      PF_ArbitraryH arbH;
      A_u_long buf_sizeLu;
      void* flat_dataPV;
    } flatten_func_params;
    struct {
      void* refconPV;
      A_u_long buf_sizeLu;
      const void* flat_dataPV;
      PF_ArbitraryH* arbPH;
    } unflatten_func_params;
    struct {
      void* refconPV;
      PF_ArbitraryH left_arbH;
      PF_ArbitraryH right_arbH;
      PF_FpLong tF;
      PF_ArbitraryH* interpPH;
    } interp_func_params;
    struct {
      void* refconPV;
      PF_ArbitraryH a_arbH;
      PF_ArbitraryH b_arbH;
      PF_ArbCompareResult* compareP;
    } compare_func_params;
    struct {
      void* refconPV;
      PF_ArbitraryH arbH;
      A_u_long* print_sizePLu;
    } print_size_func_params;
    struct {
      void* refconPV;
      PF_ArbPrintFlags print_flags;
      PF_ArbitraryH arbH;
      A_u_long print_sizeLu;
      A_char* print_bufferPC;
    } print_func_params;
    struct {
      void* refconPV;
      const A_char* bufPC;
      A_u_long bytes_to_scanLu;
      PF_ArbitraryH* arbPH;
    } scan_func_params;
  } u;
};

// Host callbacks. Entries this code base never calls are typed as opaque
// pointers of the same size.
using PF_OpaqueCallback = void*;

struct PF_InteractCallbacks {
  PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long time_step,
                           A_u_long time_scale, PF_ParamDef* param);
  PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* param);
  PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDef* def);
  PF_Err (*abort)(PF_ProgPtr effect_ref);
  PF_Err (*progress)(PF_ProgPtr effect_ref, A_long current, A_long total);
  PF_OpaqueCallback register_ui;
  PF_OpaqueCallback checkout_layer_audio;
  PF_OpaqueCallback checkin_layer_audio;
  PF_OpaqueCallback get_audio_data;
  void* reserved_str[3];
  void* reserved[10];
};

struct PF_ANSICallbacks {
  A_FpLong (*atan)(A_FpLong);
  A_FpLong (*atan2)(A_FpLong y, A_FpLong x);
  A_FpLong (*ceil)(A_FpLong);
  A_FpLong (*cos)(A_FpLong);
  A_FpLong (*exp)(A_FpLong);
  A_FpLong (*fabs)(A_FpLong);
  A_FpLong (*floor)(A_FpLong);
  A_FpLong (*fmod)(A_FpLong x, A_FpLong y);
  A_FpLong (*hypot)(A_FpLong x, A_FpLong y);
  A_FpLong (*log)(A_FpLong);
  A_FpLong (*log10)(A_FpLong);
  A_FpLong (*pow)(A_FpLong x, A_FpLong y);
  A_FpLong (*sin)(A_FpLong);
  A_FpLong (*sqrt)(A_FpLong);
  A_FpLong (*tan)(A_FpLong);
  int (*sprintf)(A_char*, const A_char*, ...);
  A_char* (*strcpy)(A_char*, const A_char*);
  A_FpLong (*asin)(A_FpLong);
  A_FpLong (*acos)(A_FpLong);
  A_long ansi_procs[1];
};

struct PF_ColorCallbacks {
  PF_OpaqueCallback RGBtoHLS;
  PF_OpaqueCallback HLStoRGB;
  PF_OpaqueCallback RGBtoYIQ;
  PF_OpaqueCallback YIQtoRGB;
  PF_OpaqueCallback Luminance;
  PF_OpaqueCallback Hue;
  PF_OpaqueCallback Lightness;
  PF_OpaqueCallback Saturation;
};

struct PF_UtilCallbacks {
  PF_OpaqueCallback begin_sampling;
  PF_OpaqueCallback subpixel_sample;
  PF_OpaqueCallback area_sample;
  void* get_batch_func_is_deprecated;
  PF_OpaqueCallback end_sampling;
  PF_OpaqueCallback composite_rect;
  PF_OpaqueCallback blend;
  PF_OpaqueCallback convolve;
  PF_Err (*copy)(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r);
  PF_Err (*fill)(PF_ProgPtr effect_ref, const PF_Pixel* color, const PF_Rect* dst_rect, PF_EffectWorld* world);
  PF_OpaqueCallback gaussian_kernel;
  PF_OpaqueCallback iterate;
  PF_OpaqueCallback premultiply;
  PF_OpaqueCallback premultiply_color;
  PF_Err (*new_world)(PF_ProgPtr effect_ref, A_long width, A_long height, PF_NewWorldFlags flags,
                      PF_EffectWorld* world);
  PF_Err (*dispose_world)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
  PF_OpaqueCallback iterate_origin;
  PF_OpaqueCallback iterate_lut;
  PF_OpaqueCallback transfer_rect;
  PF_OpaqueCallback transform_world;
  PF_Handle (*host_new_handle)(A_HandleSize size);
  void* (*host_lock_handle)(PF_Handle pf_handle);
  void (*host_unlock_handle)(PF_Handle pf_handle);
  void (*host_dispose_handle)(PF_Handle pf_handle);
  PF_OpaqueCallback get_callback_addr;
  PF_OpaqueCallback app;
  PF_ANSICallbacks ansi;
  PF_ColorCallbacks colorCB;
  PF_OpaqueCallback get_platform_data;
  A_HandleSize (*host_get_handle_size)(PF_Handle pf_handle);
  PF_OpaqueCallback iterate_origin_non_clip_src;
  PF_OpaqueCallback iterate_generic;
  PF_Err (*host_resize_handle)(A_HandleSize new_sizeL, PF_Handle* handlePH);
  PF_OpaqueCallback subpixel_sample16;
  PF_OpaqueCallback area_sample16;
  PF_OpaqueCallback fill16;
  PF_OpaqueCallback premultiply_color16;
  PF_OpaqueCallback iterate16;
  PF_OpaqueCallback iterate_origin16;
  PF_OpaqueCallback iterate_origin_non_clip_src16;
  PF_OpaqueCallback get_pixel_data8;
  PF_OpaqueCallback get_pixel_data16;
  A_long reserved[1];
};

// The suite broker and the suites.
struct SPBasicSuite {
  SPErr (*AcquireSuite)(const char* name, std::int32_t version, const void** suite);
  SPErr (*ReleaseSuite)(const char* name, std::int32_t version);
  SPBoolean (*IsEqual)(const char* token1, const char* token2);
  SPErr (*AllocateBlock)(std::size_t size, void** block);
  SPErr (*FreeBlock)(void* block);
  SPErr (*ReallocateBlock)(void* block, std::size_t newSize, void** newblock);
  SPErr (*Undefined)();
};

struct PF_ParamUtilsSuite3 {
  PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* defP);
  PF_Err (*PF_GetCurrentState)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const A_Time* startPT,
                               const A_Time* durationPT, PF_State* stateP);
  PF_Err (*PF_AreStatesIdentical)(PF_ProgPtr effect_ref, const PF_State* state1P, const PF_State* state2P,
                                  A_Boolean* samePB);
  PF_OpaqueCallback PF_IsIdenticalCheckout;
  PF_OpaqueCallback PF_FindKeyframeTime;
  PF_OpaqueCallback PF_GetKeyframeCount;
  PF_OpaqueCallback PF_CheckoutKeyframe;
  PF_OpaqueCallback PF_CheckinKeyframe;
  PF_OpaqueCallback PF_KeyIndexToTime;
};

struct PF_HandleSuite1 {
  PF_Handle (*host_new_handle)(A_HandleSize size);
  void* (*host_lock_handle)(PF_Handle pf_handle);
  void (*host_unlock_handle)(PF_Handle pf_handle);
  void (*host_dispose_handle)(PF_Handle pf_handle);
  A_HandleSize (*host_get_handle_size)(PF_Handle pf_handle);
  PF_Err (*host_resize_handle)(A_HandleSize new_sizeL, PF_Handle* handlePH);
};

struct PF_ANSICallbacksSuite1 {
  A_FpLong (*atan)(A_FpLong);
  A_FpLong (*atan2)(A_FpLong y, A_FpLong x);
  A_FpLong (*ceil)(A_FpLong);
  A_FpLong (*cos)(A_FpLong);
  A_FpLong (*exp)(A_FpLong);
  A_FpLong (*fabs)(A_FpLong);
  A_FpLong (*floor)(A_FpLong);
  A_FpLong (*fmod)(A_FpLong x, A_FpLong y);
  A_FpLong (*hypot)(A_FpLong x, A_FpLong y);
  A_FpLong (*log)(A_FpLong);
  A_FpLong (*log10)(A_FpLong);
  A_FpLong (*pow)(A_FpLong x, A_FpLong y);
  A_FpLong (*sin)(A_FpLong);
  A_FpLong (*sqrt)(A_FpLong);
  A_FpLong (*tan)(A_FpLong);
  int (*sprintf)(A_char*, const A_char*, ...);
  A_char* (*strcpy)(A_char*, const A_char*);
  A_FpLong (*asin)(A_FpLong);
  A_FpLong (*acos)(A_FpLong);
};

// Premiere Pro's pixel format suite (version 1).
struct PF_PixelFormatSuite1 {
  PF_Err (*AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PrPixelFormat pixelFormat);
  PF_Err (*ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
  PF_Err (*NewWorldOfPixelFormat)(PF_ProgPtr effect_ref, A_u_long width, A_u_long height, PF_NewWorldFlags flags,
                                  PrPixelFormat pixelFormat, PF_EffectWorld* world);
  PF_Err (*DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
  PF_Err (*GetPixelFormat)(PF_EffectWorld* inWorld, PrPixelFormat* pixelFormat);
  PF_Err (*GetBlackForPixelFormat)(const PrPixelFormat pixelFormat, void* pixelData);
  PF_Err (*GetWhiteForPixelFormat)(const PrPixelFormat pixelFormat, void* pixelData);
  PF_Err (*ConvertColorToPixelFormattedData)(const PrPixelFormat pixelFormat, const float alpha, const float red,
                                             const float green, const float blue, void* formattedPixel);
};

#define kPFParamUtilsSuite "PF Param Utils Suite"
#define kPFParamUtilsSuiteVersion3 3
#define kPFHandleSuite "PF Handle Suite"
#define kPFHandleSuiteVersion1 2
#define kPFANSISuite "PF ANSI Suite"
#define kPFANSISuiteVersion1 1
#define kPFPixelFormatSuite "PF Pixel Format Suite"
#define kPFPixelFormatSuiteVersion1 1

// The data every command receives from the host.
struct PF_InData {
  PF_InteractCallbacks inter;
  PF_UtilCallbacks* utils;
  PF_ProgPtr effect_ref;
  PF_Quality quality;
  PF_SpecVersion version;
  A_long serial_num;
  A_long appl_id;
  A_long num_params;
  A_long reserved;
  A_long what_cpu;
  A_long what_fpu;
  A_long current_time;
  A_long time_step;
  A_long total_time;
  A_long local_time_step;
  A_u_long time_scale;
  PF_Field field;
  PF_Fixed shutter_angle;
  A_long width;
  A_long height;
  PF_Rect extent_hint;
  A_long output_origin_x;
  A_long output_origin_y;
  PF_RationalScale downsample_x;
  PF_RationalScale downsample_y;
  PF_RationalScale pixel_aspect_ratio;
  PF_InFlags in_flags;
  PF_Handle global_data;
  PF_Handle sequence_data;
  PF_Handle frame_data;
  A_long start_sampL;
  A_long dur_sampL;
  A_long total_sampL;
  PF_SoundWorld src_snd;
  SPBasicSuite* pica_basicP;
  A_long pre_effect_source_origin_x;
  A_long pre_effect_source_origin_y;
  PF_Fixed shutter_phase;
};

// What the effect tells the host after each command.
struct PF_OutData {
  A_u_long my_version;
  A_char name[32];
  PF_Handle global_data;
  A_long num_params;
  PF_Handle sequence_data;
  A_long flat_sdata_size;
  PF_Handle frame_data;
  A_long width;
  A_long height;
  PF_Point origin;
  PF_OutFlags out_flags;
  A_char return_msg[256];
  A_long start_sampL;
  A_long dur_sampL;
  PF_SoundWorld dest_snd;
  PF_OutFlags2 out_flags2;
};

} // extern "C"

// The 64-bit Windows layout of the published SDK. LP64 Linux gives the same
// numbers because no member uses `long`.
static_assert(sizeof(A_long) == 4 && sizeof(A_u_long) == 4 && sizeof(A_short) == 2 && sizeof(A_char) == 1);
static_assert(sizeof(A_Boolean) == 1 && sizeof(PF_Boolean) == 1 && sizeof(PF_Fixed) == 4);
static_assert(sizeof(PF_FpLong) == 8 && sizeof(PF_FpShort) == 4 && sizeof(PF_Handle) == 8);
static_assert(sizeof(PF_ProgPtr) == 8 && sizeof(A_HandleSize) == 8 && sizeof(PF_Err) == 4);
static_assert(sizeof(PrPixelFormat) == 4 && sizeof(SPErr) == 4 && sizeof(SPBoolean) == 4);

static_assert(sizeof(PF_InteractCallbacks) == 176 && offsetof(PF_InteractCallbacks, add_param) == 16);

static_assert(sizeof(PF_InData) == 408);
static_assert(offsetof(PF_InData, utils) == 176 && offsetof(PF_InData, effect_ref) == 184);
static_assert(offsetof(PF_InData, version) == 196 && offsetof(PF_InData, appl_id) == 204);
static_assert(offsetof(PF_InData, num_params) == 208 && offsetof(PF_InData, current_time) == 224);
static_assert(offsetof(PF_InData, time_step) == 228 && offsetof(PF_InData, total_time) == 232);
static_assert(offsetof(PF_InData, time_scale) == 240 && offsetof(PF_InData, extent_hint) == 260);
static_assert(offsetof(PF_InData, in_flags) == 308 && offsetof(PF_InData, global_data) == 312);
static_assert(offsetof(PF_InData, sequence_data) == 320 && offsetof(PF_InData, frame_data) == 328);
static_assert(offsetof(PF_InData, src_snd) == 352 && offsetof(PF_InData, pica_basicP) == 384);
static_assert(offsetof(PF_InData, shutter_phase) == 400);

static_assert(sizeof(PF_OutData) == 408);
static_assert(offsetof(PF_OutData, name) == 4 && offsetof(PF_OutData, global_data) == 40);
static_assert(offsetof(PF_OutData, num_params) == 48 && offsetof(PF_OutData, sequence_data) == 56);
static_assert(offsetof(PF_OutData, frame_data) == 72 && offsetof(PF_OutData, origin) == 88);
static_assert(offsetof(PF_OutData, out_flags) == 96 && offsetof(PF_OutData, return_msg) == 100);
static_assert(sizeof(PF_OutData::return_msg) == 256 && offsetof(PF_OutData, dest_snd) == 368);
static_assert(offsetof(PF_OutData, out_flags2) == 400);

static_assert(sizeof(PF_ParamDef) == 176);
static_assert(offsetof(PF_ParamDef, ui_flags) == 4 && offsetof(PF_ParamDef, ui_width) == 8);
static_assert(offsetof(PF_ParamDef, param_type) == 12 && offsetof(PF_ParamDef, name) == 16);
static_assert(sizeof(PF_ParamDef::name) == 32 && offsetof(PF_ParamDef, flags) == 48);
static_assert(offsetof(PF_ParamDef, u) == 56 && sizeof(PF_ParamDefUnion) == 120);

static_assert(sizeof(PF_LayerDef) == 120 && offsetof(PF_LayerDef, data) == 24);
static_assert(offsetof(PF_LayerDef, rowbytes) == 32 && offsetof(PF_LayerDef, width) == 36);
static_assert(offsetof(PF_LayerDef, height) == 40 && offsetof(PF_LayerDef, extent_hint) == 44);
static_assert(offsetof(PF_LayerDef, platform_ref) == 64 && offsetof(PF_LayerDef, pix_aspect_ratio) == 88);
static_assert(offsetof(PF_LayerDef, dephault) == 116);

static_assert(sizeof(PF_SliderDef) == 88 && sizeof(PF_FixedSliderDef) == 92);
static_assert(sizeof(PF_FloatSliderDef) == 88 && offsetof(PF_FloatSliderDef, valid_min) == 48);
static_assert(offsetof(PF_FloatSliderDef, dephault) == 64 && offsetof(PF_FloatSliderDef, precision) == 68);
static_assert(offsetof(PF_FloatSliderDef, fs_flags) == 72 && offsetof(PF_FloatSliderDef, useExponent) == 80);
static_assert(offsetof(PF_FloatSliderDef, exponent) == 84);
static_assert(sizeof(PF_PopupDef) == 16 && offsetof(PF_PopupDef, u) == 8);
static_assert(sizeof(PF_ColorDef) == 8 && sizeof(PF_AngleDef) == 16);
static_assert(sizeof(PF_CheckBoxDef) == 16 && offsetof(PF_CheckBoxDef, u) == 8);
static_assert(sizeof(PF_PointDef) == 20 && offsetof(PF_PointDef, restrict_bounds) == 11);
static_assert(offsetof(PF_PointDef, x_dephault) == 12);
static_assert(sizeof(PF_ButtonDef) == 16 && offsetof(PF_ButtonDef, u) == 8);
static_assert(sizeof(PF_ArbitraryDef) == 32 && offsetof(PF_ArbitraryDef, dephault) == 8);
static_assert(offsetof(PF_ArbitraryDef, value) == 16 && offsetof(PF_ArbitraryDef, refconPV) == 24);
static_assert(sizeof(PF_PathDef) == 12 && sizeof(PF_Point3DDef) == 64);

static_assert(sizeof(PF_Pixel) == 4 && offsetof(PF_Pixel, alpha) == 0 && offsetof(PF_Pixel, blue) == 3);
static_assert(sizeof(PF_Pixel16) == 8 && sizeof(PF_PixelFloat) == 16);
static_assert(sizeof(PF_LRect) == 16 && sizeof(PF_Point) == 8 && sizeof(PF_RationalScale) == 8);
static_assert(sizeof(PF_SpecVersion) == 4 && sizeof(PF_SoundWorld) == 32 && sizeof(PF_State) == 16);

static_assert(sizeof(PF_UtilCallbacks) == 552 && offsetof(PF_UtilCallbacks, copy) == 64);
static_assert(offsetof(PF_UtilCallbacks, host_new_handle) == 160);
static_assert(offsetof(PF_UtilCallbacks, host_lock_handle) == 168);
static_assert(offsetof(PF_UtilCallbacks, host_unlock_handle) == 176);
static_assert(offsetof(PF_UtilCallbacks, host_dispose_handle) == 184);
static_assert(offsetof(PF_UtilCallbacks, get_callback_addr) == 192 && offsetof(PF_UtilCallbacks, app) == 200);
static_assert(offsetof(PF_UtilCallbacks, ansi) == 208 && offsetof(PF_UtilCallbacks, colorCB) == 368);
static_assert(offsetof(PF_UtilCallbacks, get_platform_data) == 432);
static_assert(offsetof(PF_UtilCallbacks, host_get_handle_size) == 440);
static_assert(offsetof(PF_UtilCallbacks, host_resize_handle) == 464);
static_assert(offsetof(PF_UtilCallbacks, reserved) == 544);
static_assert(sizeof(PF_ANSICallbacks) == 160 && offsetof(PF_ANSICallbacks, sprintf) == 120);
static_assert(sizeof(PF_ColorCallbacks) == 64);

static_assert(sizeof(SPBasicSuite) == 56 && offsetof(SPBasicSuite, ReleaseSuite) == 8);
static_assert(offsetof(SPBasicSuite, Undefined) == 48);
static_assert(sizeof(PF_ParamUtilsSuite3) == 72 && offsetof(PF_ParamUtilsSuite3, PF_UpdateParamUI) == 0);
static_assert(sizeof(PF_HandleSuite1) == 48 && offsetof(PF_HandleSuite1, host_lock_handle) == 8);
static_assert(offsetof(PF_HandleSuite1, host_dispose_handle) == 24);
static_assert(offsetof(PF_HandleSuite1, host_resize_handle) == 40);
static_assert(sizeof(PF_ANSICallbacksSuite1) == 152 && offsetof(PF_ANSICallbacksSuite1, sprintf) == 120);
static_assert(sizeof(PF_PixelFormatSuite1) == 64 && offsetof(PF_PixelFormatSuite1, ClearSupportedPixelFormats) == 8);
static_assert(offsetof(PF_PixelFormatSuite1, GetPixelFormat) == 32);

static_assert(sizeof(PF_UserChangedParamExtra) == 4);
static_assert(sizeof(PF_ArbParamsExtra) == 48 && offsetof(PF_ArbParamsExtra, id) == 4);
static_assert(offsetof(PF_ArbParamsExtra, u) == 8);
static_assert(offsetof(PF_ArbParamsExtra, u.flatten_func_params.flat_dataPV) == 32);
static_assert(offsetof(PF_ArbParamsExtra, u.unflatten_func_params.arbPH) == 32);
static_assert(offsetof(PF_ArbParamsExtra, u.compare_func_params.compareP) == 32);
static_assert(offsetof(PF_ArbParamsExtra, u.interp_func_params.interpPH) == 40);

static_assert(PF_Cmd_RENDER == 11 && PF_Cmd_USER_CHANGED_PARAM == 13 && PF_Cmd_UPDATE_PARAMS_UI == 14);
static_assert(PF_Cmd_ARBITRARY_CALLBACK == 22 && PF_Cmd_NUM_CMDS == 34);
static_assert(PF_Err_OUT_OF_MEMORY == 4 && PF_Err_INTERNAL_STRUCT_DAMAGED == 512);
static_assert(PF_Err_UNRECOGNIZED_PARAM_TYPE == 514 && A_Err_MISSING_SUITE == 13);
static_assert(PF_Param_ANGLE == 3 && PF_Param_CHECKBOX == 4 && PF_Param_COLOR == 5 && PF_Param_POINT == 6);
static_assert(PF_Param_POPUP == 7 && PF_Param_FLOAT_SLIDER == 10 && PF_Param_ARBITRARY_DATA == 11);
static_assert(PF_Param_BUTTON == 15 && PF_ParamFlag_CANNOT_TIME_VARY == 2 && PF_ParamFlag_SUPERVISE == 64);
static_assert(PF_PUI_NO_ECW_UI == 8 && PF_PUI_DISABLED == 0x20 && PF_PUI_INVISIBLE == 0x200);
static_assert(PF_Arbitrary_COMPARE_FUNC == 7 && PF_ArbCompare_NOT_EQUAL == 3);
static_assert(PF_VERSION(5, 6, 0, PF_Stage_DEVELOP, 1) == 0x002B0001);
static_assert(PF_VERSION(2, 1, 0, PF_Stage_DEVELOP, 1) == 0x00108001);
