// Stand-in for the host's effect SDK: the records, selectors, flags and
// callback tables through which the host drives an effect plug-in.
// Written for this project from what the plug-in expects of its host.
#pragma once

#include <cstdint>

#include "SPBasic.h"

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef uint8_t A_u_char;
typedef char A_char;
typedef uint64_t A_u_longlong;
typedef int32_t PF_Fixed;  // 16.16 fixed point
typedef uint8_t PF_Boolean;
typedef int32_t PF_ParamIndex;
typedef int32_t PF_ParamValue;
typedef int32_t PF_Err;
typedef int32_t PF_Cmd;
typedef A_u_long PF_PathID;

// Opaque host references.
struct PF_ProgressInfo;
typedef PF_ProgressInfo* PF_ProgPtr;
typedef void** PF_Handle;
struct PF_PathOutline;
typedef PF_PathOutline* PF_PathOutlinePtr;

#define PF_MAX_EFFECT_PARAM_NAME_LEN 31
#define PF_MAX_EFFECT_MSG_LEN 255

// Error codes.
enum {
  PF_Err_NONE = 0,
  PF_Err_OUT_OF_MEMORY = 4,
  PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
  PF_Err_INVALID_INDEX = 513,
  PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
  PF_Err_INVALID_CALLBACK = 515,
  PF_Err_BAD_CALLBACK_PARAM = 516,
};
// The classic "memory full" code that the host understands from handle failures.
enum { PF_Err_MEM_FULL = -108 };

// Command selectors.
enum {
  PF_Cmd_ABOUT = 0,
  PF_Cmd_GLOBAL_SETUP = 1,
  PF_Cmd_UNUSED_0 = 2,
  PF_Cmd_GLOBAL_SETDOWN = 3,
  PF_Cmd_PARAMS_SETUP = 4,
  PF_Cmd_SEQUENCE_SETUP = 5,
  PF_Cmd_SEQUENCE_RESETUP = 6,
  PF_Cmd_SEQUENCE_FLATTEN = 7,
  PF_Cmd_SEQUENCE_SETDOWN = 8,
  PF_Cmd_DO_DIALOG = 9,
  PF_Cmd_FRAME_SETUP = 10,
  PF_Cmd_RENDER = 11,
  PF_Cmd_FRAME_SETDOWN = 12,
  PF_Cmd_USER_CHANGED_PARAM = 13,
  PF_Cmd_UPDATE_PARAMS_UI = 14,
  PF_Cmd_EVENT = 15,
  PF_Cmd_GET_EXTERNAL_DEPENDENCIES = 16,
  PF_Cmd_NUM_CMDS = 17,
};

// Output flags reported at global set-up.
enum {
  PF_OutFlag_NONE = 0,
  PF_OutFlag_KEEP_RESOURCE_OPEN = 1 << 0,
  PF_OutFlag_WIDE_TIME_INPUT = 1 << 1,
  PF_OutFlag_NON_PARAM_VARY = 1 << 2,
  PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING = 1 << 4,
  PF_OutFlag_I_DO_DIALOG = 1 << 5,
  PF_OutFlag_USE_OUTPUT_EXTENT = 1 << 6,
  PF_OutFlag_SEND_DO_DIALOG = 1 << 7,
  PF_OutFlag_DISPLAY_ERROR_MESSAGE = 1 << 8,
  PF_OutFlag_PIX_INDEPENDENT = 1 << 10,
  PF_OutFlag_CUSTOM_UI = 1 << 15,
  PF_OutFlag_DEEP_COLOR_AWARE = 1 << 25,
  PF_OutFlag_SEND_UPDATE_PARAMS_UI = 1 << 26,
};

// Input flags.
enum { PF_InFlag_NONE = 0 };

// Render quality.
enum { PF_Quality_DRAWING_AUDIO = -1, PF_Quality_LO = 0, PF_Quality_HI = 1 };

// Parameter kinds.
enum {
  PF_Param_RESERVED = -1,
  PF_Param_LAYER = 0,
  PF_Param_SLIDER = 1,
  PF_Param_FIX_SLIDER = 2,
  PF_Param_ANGLE = 3,
  PF_Param_CHECKBOX = 4,
  PF_Param_COLOR = 5,
  PF_Param_POINT = 6,
  PF_Param_POPUP = 7,
  PF_Param_CUSTOM = 8,
  PF_Param_NO_DATA = 9,
  PF_Param_FLOAT_SLIDER = 10,
  PF_Param_ARBITRARY_DATA = 11,
  PF_Param_PATH = 12,
  PF_Param_GROUP_START = 13,
  PF_Param_GROUP_END = 14,
  PF_Param_BUTTON = 15,
};
typedef int32_t PF_ParamType;

// Parameter flags (PF_ParamDef::flags).
enum {
  PF_ParamFlag_RESERVED1 = 1 << 0,
  PF_ParamFlag_CANNOT_TIME_VARY = 1 << 1,
  PF_ParamFlag_CANNOT_INTERP = 1 << 2,
  PF_ParamFlag_COLLAPSE_TWIRLY = 1 << 5,
  PF_ParamFlag_SUPERVISE = 1 << 6,
  PF_ParamFlag_START_COLLAPSED = PF_ParamFlag_COLLAPSE_TWIRLY,
};

// Parameter user-interface flags (PF_ParamDef::ui_flags).
enum {
  PF_PUI_NONE = 0,
  PF_PUI_TOPIC = 1 << 0,
  PF_PUI_CONTROL = 1 << 1,
  PF_PUI_STD_CONTROL_ONLY = 1 << 2,
  PF_PUI_NO_ECW_UI = 1 << 3,
  PF_PUI_ECW_SEPARATOR = 1 << 4,
  PF_PUI_DISABLED = 1 << 5,
};

// Change flags of a parameter (PF_ParamDef::uu.change_flags).
enum { PF_ChangeFlag_NONE = 0, PF_ChangeFlag_CHANGED_VALUE = 1 << 0 };

// Platform data selectors for get_platform_data.
enum { PF_PlatData_MAIN_WND = 0, PF_PlatData_EXE_FILE_PATH_DEPRECATED = 1 };

// Custom user-interface event flags.
enum {
  PF_CustomEFlag_NONE = 0,
  PF_CustomEFlag_COMP = 1 << 0,
  PF_CustomEFlag_LAYER = 1 << 1,
  PF_CustomEFlag_EFFECT = 1 << 2,
  PF_CustomEFlag_PREVIEW = 1 << 3,
};

// World flags.
enum { PF_WorldFlag_DEEP = 1 << 0, PF_WorldFlag_WRITEABLE = 1 << 1 };

// Host pixels: alpha first.
struct PF_Pixel {
  A_u_char alpha, red, green, blue;
};
typedef PF_Pixel PF_Pixel8;
struct PF_Pixel16 {
  A_u_short alpha, red, green, blue;
};
// The largest channel value of a 16-bit world.
enum { PF_MAX_CHAN16 = 32768, PF_MAX_CHAN8 = 255 };

struct PF_Rect {
  A_long left, top, right, bottom;
};
typedef PF_Rect PF_LRect;
struct PF_Point {
  A_long h, v;
};

// An image the host hands over or asks to be filled.
struct PF_EffectWorld {
  A_long reserved0;
  A_long world_flags;
  void* data;  // first row; rows are rowbytes apart
  A_long rowbytes;
  A_long width;
  A_long height;
  PF_Rect extent_hint;
  A_long origin_x;
  A_long origin_y;
  A_long reserved1;
  A_long dephault;  // layer parameters: the default layer, 0 for none
};
typedef PF_EffectWorld PF_LayerDef;

// Per-kind value records of a parameter definition.
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
  A_short display_flags;
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
  const A_char* nameptr;  // the comment text beside the box
};

struct PF_ColorDef {
  PF_Pixel value;
  PF_Pixel dephault;
};

struct PF_PointDef {
  PF_Fixed x_value, y_value;
  A_char reserved[3];
  PF_Boolean restrict_bounds;
  PF_Fixed x_dephault, y_dephault;  // percent of the layer
};

struct PF_PopupDef {
  PF_ParamValue value;  // 1-based choice
  A_short num_choices;
  A_short dephault;
  const A_char* namesptr;  // choices separated by '|'
};

struct PF_PathDef {
  PF_PathID path_id;
  A_long reserved0;
  A_long dephault;
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
  PF_PathDef path_d;
};

struct PF_ParamDef {
  union {
    A_long id;
    A_long change_flags;
  } uu;
  A_long ui_flags;
  A_short ui_width;
  A_short ui_height;
  PF_ParamType param_type;
  A_char name[PF_MAX_EFFECT_PARAM_NAME_LEN + 1];
  A_long flags;
  A_long unused;
  PF_ParamDefUnion u;
};
typedef PF_ParamDef* PF_ParamDefPtr;
typedef PF_ParamDef** PF_ParamList;

struct PF_CustomUIInfo {
  A_long reserved;
  A_long events;
  A_long comp_ui_width, comp_ui_height, comp_ui_alignment;
  A_long layer_ui_width, layer_ui_height, layer_ui_alignment;
  A_long preview_ui_width, preview_ui_height, preview_ui_alignment;
};

// Callbacks through which the plug-in adds, reads and releases parameters.
struct PF_InteractCallbacks {
  PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time,
                           A_long time_step, A_u_long time_scale, PF_ParamDef* param);
  PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* param);
  PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def);
  PF_Err (*abort)(PF_ProgPtr effect_ref);
  PF_Err (*progress)(PF_ProgPtr effect_ref, A_long current, A_long total);
  PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo* cust_info);
};

// The host's ANSI helpers, so that a plug-in never writes with its own runtime into host memory.
struct PF_ANSICallbacks {
  A_char* (*strcpy)(A_char* dest, const A_char* src);
  A_long (*sprintf)(A_char* dest, const A_char* format, ...);
};

struct PF_UtilCallbacks {
  PF_ANSICallbacks ansi;
  PF_Handle (*host_new_handle)(A_u_longlong size);
  void* (*host_lock_handle)(PF_Handle h);
  void (*host_unlock_handle)(PF_Handle h);
  void (*host_dispose_handle)(PF_Handle h);
  A_u_longlong (*host_get_handle_size)(PF_Handle h);
  PF_Err (*get_platform_data)(PF_ProgPtr effect_ref, A_long which, void* data);
};

struct PF_InData {
  PF_InteractCallbacks inter;
  PF_UtilCallbacks* utils;
  PF_ProgPtr effect_ref;
  A_long quality;
  A_long version;
  A_long serial_num;
  A_long appl_id;
  A_long num_params;
  A_long current_time;
  A_long time_step;
  A_long total_time;
  A_long local_time_step;
  A_u_long time_scale;
  A_long width;
  A_long height;
  PF_Rect extent_hint;
  A_long in_flags;
  PF_Handle global_data;
  PF_Handle sequence_data;
  PF_Handle frame_data;
  SPBasicSuite* pica_basicP;
};

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
  A_long out_flags;
  A_char return_msg[PF_MAX_EFFECT_MSG_LEN + 1];
};

// Extra argument of PF_Cmd_USER_CHANGED_PARAM: the changed parameter's index first.
struct PF_UserChangedParamExtra {
  PF_ParamIndex param_index;
};

// ---- Custom user-interface events ----
enum {
  PF_Event_NEW_CONTEXT = 0,
  PF_Event_ACTIVATE = 1,
  PF_Event_DO_CLICK = 2,
  PF_Event_DRAG = 3,
  PF_Event_DRAW = 4,
  PF_Event_DEACTIVATE = 5,
  PF_Event_CLOSE_CONTEXT = 6,
  PF_Event_IDLE = 7,
  PF_Event_KEYDOWN = 8,
  PF_Event_ADJUST_CURSOR = 9,
};
typedef A_long PF_EventType;

enum { PF_Window_NONE = -1, PF_Window_COMP = 0, PF_Window_LAYER = 1, PF_Window_EFFECT = 2 };
enum { PF_EA_NONE = 0, PF_EA_PARAM_TITLE = 1, PF_EA_CONTROL = 2 };

enum { PF_EI_NONE = 0, PF_EI_DONT_DRAW = 1 << 0 };
enum {
  PF_EO_NONE = 0,
  PF_EO_HANDLED_EVENT = 1 << 0,
  PF_EO_ALWAYS_UPDATE = 1 << 1,
  PF_EO_NEVER_UPDATE = 1 << 2,
  PF_EO_UPDATE_NOW = 1 << 3,
};

struct PF_Context {
  A_u_long magic;
  A_long w_type;  // PF_Window_*
  A_long reserved[4];
};
typedef PF_Context* PF_ContextH;

struct PF_EffectWindowInfo {
  PF_ParamIndex index;
  A_long area;  // PF_EA_*
  PF_Rect current_frame;
  PF_Rect param_title_frame;
  A_long horiz_offset;
};

struct PF_DoClickEventInfo {
  A_u_long when;
  PF_Point screen_point;
  A_long num_clicks;
  A_long modifiers;
};

struct PF_DrawEventInfo {
  PF_Rect update_rect;
  A_long depth;
};

struct PF_AdjustCursorEventInfo {
  PF_Point screen_point;
  A_long modifiers;
  A_long set_cursor;
};

union PF_EventUnion {
  PF_DoClickEventInfo do_click;
  PF_DrawEventInfo draw;
  PF_AdjustCursorEventInfo adjust_cursor;
};

struct PF_EventExtra {
  PF_ContextH contextH;
  PF_EventType e_type;
  PF_EventUnion u;
  PF_EffectWindowInfo effect_win;
  A_long evt_in_flags;
  A_long evt_out_flags;
};

// The plug-in's one exported function.
typedef PF_Err (*PF_EntryPointFunc)(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                    PF_ParamDef* params[], PF_LayerDef* output, void* extra);

// Version packing: major 7 bits, minor 4, bug 4, stage 2, build 9.
#define PF_VERSION(major, minor, bug, stage, build)                                              \
  ((((major)&0x7F) << 19) | (((minor)&0xF) << 15) | (((bug)&0xF) << 11) | (((stage)&0x3) << 9) | \
   ((build)&0x1FF))
