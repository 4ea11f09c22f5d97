// A receiver's store of ten meshes, kept with the project: the distort effect's sequence data, and
// the renderer's in the testbed. Receiving a record and keeping it is done here for both.
#pragma once

#include "AE_Effect.h"
#include "common/MeshSlot.h"

// Fills a new store: header zero, every slot an initial record with the given texture rectangle.
void InitMeshStore(MeshStore* store, const PF_Rect& uv_rect);

// Copies a received record into the slot it names. A record naming no slot (negative index) or a
// slot the store does not have (10 or more) changes nothing. The count is bounded to 0..20,000;
// with a count of 0 or 1 the slot keeps its triangles, every trailer field is still taken.
void StoreMeshRecord(MeshStore* store, const MeshSlot& record);

// Makes sure the instance's store exists at full size. A missing store is created (and *created
// set); a store of another size is resized, keeping its leading bytes and zeroing grown ones.
// out_data receives the handle and the flat size, and in_data the handle a resize returned.
// Allocation or resize failure: "Internal Error", the error-message flag and
// PF_Err_INTERNAL_STRUCT_DAMAGED.
PF_Err EnsureMeshStore(PF_InData* in_data, PF_OutData* out_data, bool* created);

// PF_Cmd_SEQUENCE_SETUP and PF_Cmd_SEQUENCE_RESETUP: both keep an existing store and correct only
// its size.
PF_Err MeshStoreSetup(PF_InData* in_data, PF_OutData* out_data);
// PF_Cmd_SEQUENCE_SETDOWN: disposes the store.
PF_Err MeshStoreSetdown(PF_InData* in_data, PF_OutData* out_data);
// PF_Cmd_COMPLETELY_GENERAL: extra points to a MeshSlot. A store that had to be created first
// drops the record; a null record is ignored.
PF_Err MeshStoreReceive(PF_InData* in_data, PF_OutData* out_data, const void* extra);

// Builds an outgoing record from a stored slot: its trailer and its first triangleCount triangles,
// the count bounded to 0..20,000 so that a damaged store never reads past the slot. What lies past
// them in out is left as it was.
void CopyStoredSlot(const MeshSlot& slot, MeshSlot* out);
