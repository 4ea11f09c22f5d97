// The AEGP interface: opaque host objects, stream values, and the AEGP suites the plug-ins use.
#pragma once

#include "A.h"
#include "AE_Effect.h"
#include "SPBasic.h"

typedef A_long AEGP_PluginID;
typedef void* AEGP_GlobalRefcon;
typedef void* AEGP_IdleRefcon;
typedef struct _AEGP_Layer* AEGP_LayerH;
typedef struct _AEGP_Comp* AEGP_CompH;
typedef struct _AEGP_Item* AEGP_ItemH;
typedef struct _AEGP_EffectRef* AEGP_EffectRefH;
typedef struct _AEGP_StreamRef* AEGP_StreamRefH;
typedef struct _AEGP_MaskRef* AEGP_MaskRefH;
typedef struct _AEGP_MemHandle* AEGP_MemHandle;
typedef struct _AEGP_AddKeyframesInfo* AEGP_AddKeyframesInfoH;
typedef A_long AEGP_InstalledEffectKey;
typedef A_long AEGP_EffectIndex;
typedef A_long AEGP_MaskIndex;
typedef A_long AEGP_KeyframeIndex;
typedef A_long AEGP_LayerIDVal;
typedef A_long AEGP_Command;

#define AEGP_MAX_EFFECT_NAME_SIZE ((A_long)47)
#define AEGP_MAX_EFFECT_MATCH_NAME_SIZE ((A_long)47)
#define AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE ((A_long)47)
#define AEGP_MAX_ITEM_NAME_SIZE ((A_long)31)
#define AEGP_MAX_LAYER_NAME_SIZE ((A_long)31)

typedef A_long AEGP_LTimeMode;
enum { AEGP_LTimeMode_LayerTime = 0, AEGP_LTimeMode_CompTime = 1 };

typedef A_long AEGP_ItemType;
enum {
  AEGP_ItemType_NONE = 0,
  AEGP_ItemType_FOLDER = 1,
  AEGP_ItemType_COMP = 2,
  AEGP_ItemType_SOLID_defunct = 3,
  AEGP_ItemType_FOOTAGE = 4
};

typedef A_long AEGP_LayerStream;
enum {
  AEGP_LayerStream_NONE = -1,
  AEGP_LayerStream_ANCHORPOINT = 0,
  AEGP_LayerStream_POSITION = 1,
  AEGP_LayerStream_SCALE = 2,
  AEGP_LayerStream_ROTATION = 3,
  AEGP_LayerStream_ROTATE_Z = AEGP_LayerStream_ROTATION,
  AEGP_LayerStream_OPACITY = 4,
  AEGP_LayerStream_ROTATE_X = 8,
  AEGP_LayerStream_ROTATE_Y = 9,
  AEGP_LayerStream_ORIENTATION = 10,
  AEGP_LayerStream_INTENSITY = 16,
  AEGP_LayerStream_COLOR = 17
};

typedef A_long AEGP_LayerFlags;
enum {
  AEGP_LayerFlag_NONE = 0,
  AEGP_LayerFlag_VIDEO_ACTIVE = 1L << 0,
  AEGP_LayerFlag_AUDIO_ACTIVE = 1L << 1,
  AEGP_LayerFlag_EFFECTS_ACTIVE = 1L << 2,
  AEGP_LayerFlag_MOTION_BLUR = 1L << 3,
  AEGP_LayerFlag_FRAME_BLENDING = 1L << 4,
  AEGP_LayerFlag_LOCKED = 1L << 5,
  AEGP_LayerFlag_SHY = 1L << 6,
  AEGP_LayerFlag_LAYER_IS_3D = 1L << 12
};

typedef A_long AEGP_LightType;
enum {
  AEGP_LightType_NONE = -1,
  AEGP_LightType_PARALLEL = 0,
  AEGP_LightType_SPOT = 1,
  AEGP_LightType_POINT = 2,
  AEGP_LightType_AMBIENT = 3
};

typedef A_long AEGP_ObjectType;
enum {
  AEGP_ObjectType_NONE = -1,
  AEGP_ObjectType_AV = 0,
  AEGP_ObjectType_LIGHT = 1,
  AEGP_ObjectType_CAMERA = 2
};

typedef A_long AEGP_DynStreamFlags;
enum {
  AEGP_DynStreamFlag_ACTIVE_EYEBALL = 1L << 0,
  AEGP_DynStreamFlag_HIDDEN = 1L << 1,
  AEGP_DynStreamFlag_DISABLED = 1L << 4,
  AEGP_DynStreamFlag_ELIDED = 1L << 5
};

typedef struct {
  A_long reserved[2];
} AEGP_ErrReportState;

typedef A_FpLong AEGP_OneDVal;
typedef struct {
  A_FpLong x, y;
} AEGP_TwoDVal;
typedef struct {
  A_FpLong x, y, z;
} AEGP_ThreeDVal;
typedef struct {
  A_FpLong alphaF, redF, greenF, blueF;
} AEGP_ColorVal;

typedef union {
  AEGP_ThreeDVal three_d;
  AEGP_TwoDVal two_d;
  AEGP_OneDVal one_d;
  AEGP_ColorVal color;
  AEGP_LayerIDVal layer_id;
} AEGP_StreamVal2;

typedef struct {
  AEGP_StreamRefH streamH;
  AEGP_StreamVal2 val;
} AEGP_StreamValue2;

typedef A_Err (*AEGP_IdleHook)(AEGP_GlobalRefcon plugin_refconP, AEGP_IdleRefcon refconP,
                               A_long* max_sleepPL);

typedef A_Err (*AEGP_EntryPointFunc)(SPBasicSuite* pica_basicP, A_long major_versionL,
                                     A_long minor_versionL, AEGP_PluginID aegp_plugin_id,
                                     AEGP_GlobalRefcon* global_refconP);

#define kAEGPUtilitySuite "AEGP Utility Suite"
#define kAEGPPFInterfaceSuite "AEGP PF Interface Suite"
#define kAEGPStreamSuite "AEGP Stream Suite"
#define kAEGPDynamicStreamSuite "AEGP Dynamic Stream Suite"
#define kAEGPEffectSuite "AEGP Effect Suite"
#define kAEGPCompSuite "AEGP Comp Suite"
#define kAEGPItemSuite "AEGP Item Suite"
#define kAEGPLayerSuite "AEGP Layer Suite"
#define kAEGPMaskSuite "AEGP Layer Mask Suite"
#define kAEGPKeyframeSuite "AEGP Keyframe Suite"
#define kAEGPLightSuite "AEGP Light Suite"
#define kAEGPCommandSuite "AEGP Command Suite"
#define kAEGPRegisterSuite "AEGP Register Suite"

typedef struct AEGP_UtilitySuite11 {
  A_Err (*AEGP_ReportInfo)(AEGP_PluginID aegp_plugin_id, const A_char* info_stringZ);
  A_Err (*AEGP_StartQuietErrors)(AEGP_ErrReportState* err_stateP);
  A_Err (*AEGP_EndQuietErrors)(A_Boolean report_quieted_errorsB, AEGP_ErrReportState* err_stateP);
  A_Err (*AEGP_StartUndoGroup)(const A_char* undo_nameZ);
  A_Err (*AEGP_EndUndoGroup)(void);
  A_Err (*AEGP_RegisterWithAEGP)(AEGP_GlobalRefcon global_refcon, const A_char* plugin_nameZ,
                                 AEGP_PluginID* plugin_id);
  A_Err (*AEGP_ExecuteScript)(AEGP_PluginID plugin_id, const A_char* scriptZ,
                              const A_Boolean platform_encodingB, AEGP_MemHandle* resultPH0,
                              AEGP_MemHandle* error_stringPH0);
} AEGP_UtilitySuite11;

typedef struct AEGP_PFInterfaceSuite1 {
  A_Err (*AEGP_GetEffectLayer)(PF_ProgPtr effect_ref, AEGP_LayerH* layerPH);
  A_Err (*AEGP_GetNewEffectForEffect)(AEGP_PluginID aegp_plugin_id, PF_ProgPtr effect_ref,
                                      AEGP_EffectRefH* effectPH);
  A_Err (*AEGP_ConvertEffectToCompTime)(PF_ProgPtr effect_ref, A_long what_timeL,
                                        A_u_long time_scaleLu, A_Time* comp_timePT);
} AEGP_PFInterfaceSuite1;

typedef struct AEGP_StreamSuite9 {
  A_Err (*AEGP_GetNewLayerStream)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,
                                  AEGP_LayerStream which_stream, AEGP_StreamRefH* streamPH);
  A_Err (*AEGP_GetEffectNumParamStreams)(AEGP_EffectRefH effect_refH, A_long* num_paramsPL);
  A_Err (*AEGP_GetNewEffectStreamByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_EffectRefH effect_refH,
                                          PF_ParamIndex param_index, AEGP_StreamRefH* streamPH);
  A_Err (*AEGP_DisposeStream)(AEGP_StreamRefH streamH);
  A_Err (*AEGP_GetNewStreamValue)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                                  AEGP_LTimeMode time_mode, const A_Time* timePT,
                                  A_Boolean pre_expressionB, AEGP_StreamValue2* valueP);
  A_Err (*AEGP_DisposeStreamValue)(AEGP_StreamValue2* valueP);
  A_Err (*AEGP_SetStreamValue)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                               AEGP_StreamValue2* valueP);
} AEGP_StreamSuite9;

typedef struct AEGP_DynamicStreamSuite5 {
  A_Err (*AEGP_GetDynamicStreamFlags)(AEGP_StreamRefH streamH, AEGP_DynStreamFlags* flagsP);
  A_Err (*AEGP_SetDynamicStreamFlag)(AEGP_StreamRefH streamH, AEGP_DynStreamFlags one_flag,
                                     A_Boolean undoableB, A_Boolean setB);
  A_Err (*AEGP_GetNewParentStreamRef)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                                      AEGP_StreamRefH* parent_streamPH);
  A_Err (*AEGP_GetStreamIndexInParent)(AEGP_StreamRefH streamH, A_long* indexPL);
} AEGP_DynamicStreamSuite5;

#define TOLV_AEGP_EFFECT_SUITE_FUNCTIONS                                                          \
  A_Err (*AEGP_GetLayerNumEffects)(AEGP_LayerH layerH, A_long * num_effectsPL);                   \
  A_Err (*AEGP_GetLayerEffectByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,           \
                                      AEGP_EffectIndex layer_effect_index,                        \
                                      AEGP_EffectRefH * effectPH);                                \
  A_Err (*AEGP_GetInstalledKeyFromLayerEffect)(AEGP_EffectRefH effect_refH,                       \
                                               AEGP_InstalledEffectKey * installed_keyP);         \
  A_Err (*AEGP_EffectCallGeneric)(AEGP_PluginID aegp_plugin_id, AEGP_EffectRefH effectH,          \
                                  const A_Time* timePT, PF_Cmd effect_cmd, void* effect_extraPV); \
  A_Err (*AEGP_DisposeEffect)(AEGP_EffectRefH effectH);                                           \
  A_Err (*AEGP_GetEffectName)(AEGP_InstalledEffectKey installed_key, A_char * nameZ);             \
  A_Err (*AEGP_GetEffectMatchName)(AEGP_InstalledEffectKey installed_key, A_char * matchnameZ);

typedef struct AEGP_EffectSuite2 {
  TOLV_AEGP_EFFECT_SUITE_FUNCTIONS
} AEGP_EffectSuite2;

typedef struct AEGP_EffectSuite3 {
  TOLV_AEGP_EFFECT_SUITE_FUNCTIONS
} AEGP_EffectSuite3;

typedef struct AEGP_CompSuite15 {
  A_Err (*AEGP_GetCompFromItem)(AEGP_ItemH itemH, AEGP_CompH* compPH);
  A_Err (*AEGP_GetItemFromComp)(AEGP_CompH compH, AEGP_ItemH* itemPH);
  A_Err (*AEGP_GetCompFrameDuration)(AEGP_CompH compH, A_Time* timeP);
  A_Err (*AEGP_GetCompWorkAreaStart)(AEGP_CompH compH, A_Time* work_area_startPT);
  A_Err (*AEGP_GetCompWorkAreaDuration)(AEGP_CompH compH, A_Time* work_area_durationPT);
  A_Err (*AEGP_CreateLightInComp)(AEGP_CompH parent_compH, const A_UTF16Char* nameZ,
                                  const A_FloatPoint* centerPT, AEGP_LayerH* new_lightPH);
} AEGP_CompSuite15;

typedef struct AEGP_ItemSuite13 {
  A_Err (*AEGP_GetActiveItem)(AEGP_ItemH* itemPH);
  A_Err (*AEGP_GetItemType)(AEGP_ItemH itemH, AEGP_ItemType* item_typeP);
  A_Err (*AEGP_GetItemDuration)(AEGP_ItemH itemH, A_Time* durationPT);
  A_Err (*AEGP_GetItemCurrentTime)(AEGP_ItemH itemH, A_Time* curr_timePT);
  A_Err (*AEGP_SetItemCurrentTime)(AEGP_ItemH itemH, const A_Time* new_timePT);
  A_Err (*AEGP_GetItemDimensions)(AEGP_ItemH itemH, A_long* widthPL, A_long* heightPL);
} AEGP_ItemSuite13;

#define TOLV_AEGP_LAYER_SUITE_FUNCTIONS                                                            \
  A_Err (*AEGP_GetCompNumLayers)(AEGP_CompH compH, A_long * num_layersPL);                         \
  A_Err (*AEGP_GetCompLayerByIndex)(AEGP_CompH compH, A_long layer_indexL, AEGP_LayerH * layerPH); \
  A_Err (*AEGP_GetLayerSourceItem)(AEGP_LayerH layerH, AEGP_ItemH * source_itemPH);                \
  A_Err (*AEGP_GetLayerParentComp)(AEGP_LayerH layerH, AEGP_CompH * compPH);                       \
  A_Err (*AEGP_GetLayerFlags)(AEGP_LayerH layerH, AEGP_LayerFlags * layer_flagsP);                 \
  A_Err (*AEGP_SetLayerFlag)(AEGP_LayerH layerH, AEGP_LayerFlags single_flag, A_Boolean valueB);   \
  A_Err (*AEGP_GetLayerToWorldXform)(AEGP_LayerH aegp_layerH, const A_Time* comp_timeP,            \
                                     A_Matrix4* transform);                                        \
  A_Err (*AEGP_GetLayerToWorldXformFromView)(AEGP_LayerH aegp_layerH, const A_Time* view_timeP,    \
                                             const A_Time* comp_timeP, A_Matrix4* transform);      \
  A_Err (*AEGP_GetLayerID)(AEGP_LayerH layerH, AEGP_LayerIDVal * id_valP);                         \
  A_Err (*AEGP_GetLayerFromLayerID)(AEGP_CompH parent_compH, AEGP_LayerIDVal id,                   \
                                    AEGP_LayerH * layerPH);                                        \
  A_Err (*AEGP_SetLayerParent)(AEGP_LayerH layerH, const AEGP_LayerH parent_layerH0);              \
  A_Err (*AEGP_DeleteLayer)(AEGP_LayerH layerH);                                                   \
  A_Err (*AEGP_GetLayerObjectType)(AEGP_LayerH layerH, AEGP_ObjectType * object_typeP);

typedef struct AEGP_LayerSuite12 {
  TOLV_AEGP_LAYER_SUITE_FUNCTIONS
} AEGP_LayerSuite12;

typedef struct AEGP_LayerSuite13 {
  TOLV_AEGP_LAYER_SUITE_FUNCTIONS
} AEGP_LayerSuite13;

typedef struct AEGP_MaskSuite6 {
  A_Err (*AEGP_GetLayerNumMasks)(AEGP_LayerH aegp_layerH, A_long* num_masksPL);
  A_Err (*AEGP_GetLayerMaskByIndex)(AEGP_LayerH aegp_layerH, AEGP_MaskIndex mask_indexL,
                                    AEGP_MaskRefH* maskPH);
  A_Err (*AEGP_DisposeMask)(AEGP_MaskRefH mask_refH);
} AEGP_MaskSuite6;

typedef struct AEGP_KeyframeSuite4 {
  A_Err (*AEGP_SetKeyframeValue)(AEGP_StreamRefH streamH, AEGP_KeyframeIndex key_index,
                                 const AEGP_StreamValue2* valueP);
  A_Err (*AEGP_StartAddKeyframes)(AEGP_StreamRefH streamH, AEGP_AddKeyframesInfoH* akPH);
  A_Err (*AEGP_AddKeyframes)(AEGP_AddKeyframesInfoH akH, AEGP_LTimeMode time_mode,
                             const A_Time* timePT, A_long* key_indexPL);
  A_Err (*AEGP_EndAddKeyframes)(A_Boolean addB, AEGP_AddKeyframesInfoH akH);
} AEGP_KeyframeSuite4;

typedef struct AEGP_LightSuite2 {
  A_Err (*AEGP_GetLightType)(AEGP_LayerH light_layerH, AEGP_LightType* light_typeP);
  A_Err (*AEGP_SetLightType)(AEGP_LayerH light_layerH, AEGP_LightType light_type);
} AEGP_LightSuite2;

typedef struct AEGP_CommandSuite1 {
  A_Err (*AEGP_DoCommand)(AEGP_Command command);
} AEGP_CommandSuite1;

typedef struct AEGP_RegisterSuite6 {
  A_Err (*AEGP_RegisterIdleHook)(AEGP_PluginID aegp_plugin_id, AEGP_IdleHook idle_func,
                                 AEGP_IdleRefcon refconP);
} AEGP_RegisterSuite6;
