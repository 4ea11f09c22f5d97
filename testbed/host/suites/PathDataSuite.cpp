// "PF Path Data Suite" version 1: segments of a checked-out outline and their lengths.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

// The resolution of a length asked for without prepared data.
constexpr A_long kDefaultFrequency = 100;

const PathObject* pathOf(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP) {
  return effectOf(effect_ref) ? resolve<PathObject>(pathP, "checked-out path") : nullptr;
}

bool validSegment(const PathObject& path, PF_PathSegIndex seg) {
  return seg >= 0 && static_cast<size_t>(seg) < segmentCount(path.shape);
}

// Prepared data of this path and segment, or null when the pointer names none.
const SegPrepObject* prepOf(const PathObject& path, PF_PathSegIndex seg, PF_PathSegPrepPtr* prepP) {
  const SegPrepObject* prep = prepP ? resolve<SegPrepObject>(*prepP, "prepared segment") : nullptr;
  return prep && prep->path == &path && prep->segment == seg ? prep : nullptr;
}

PF_Err PF_PathIsOpen(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP, PF_Boolean* openPB) {
  TB_ENTER(openPB);
  const PathObject* path = pathOf(effect_ref, pathP);
  if (!path || !openPB)
    return PF_Err_BAD_CALLBACK_PARAM;
  *openPB = path->shape.closed ? 0 : 1;
  return PF_Err_NONE;
}

PF_Err PF_PathNumSegments(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP, A_long* num_segmentsPL) {
  TB_ENTER(num_segmentsPL);
  const PathObject* path = pathOf(effect_ref, pathP);
  if (!path || !num_segmentsPL)
    return PF_Err_BAD_CALLBACK_PARAM;
  *num_segmentsPL = static_cast<A_long>(segmentCount(path->shape));
  return PF_Err_NONE;
}

PF_Err PF_PathPrepareSegLength(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                               PF_PathSegIndex seg_index, A_long frequency,
                               PF_PathSegPrepPtr* lengthPrepP) {
  TB_ENTER(lengthPrepP);
  const PathObject* path = pathOf(effect_ref, pathP);
  if (!path || !lengthPrepP || !validSegment(*path, seg_index))
    return PF_Err_BAD_CALLBACK_PARAM;
  SegmentLengths lengths(segmentOf(path->shape, seg_index), frequency);
  *lengthPrepP = reinterpret_cast<PF_PathSegPrepPtr>(Host::current().newRef<SegPrepObject>(
      "prepared segment", path, seg_index, std::move(lengths)));
  return PF_Err_NONE;
}

PF_Err PF_PathGetSegLength(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                           PF_PathSegIndex seg_index, PF_PathSegPrepPtr* lengthPrepP0,
                           PF_FpLong* lengthPF) {
  TB_ENTER(lengthPF);
  const PathObject* path = pathOf(effect_ref, pathP);
  if (!path || !lengthPF || !validSegment(*path, seg_index))
    return PF_Err_BAD_CALLBACK_PARAM;
  const SegPrepObject* prep = prepOf(*path, seg_index, lengthPrepP0);
  if (lengthPrepP0 && *lengthPrepP0 && !prep)
    return PF_Err_BAD_CALLBACK_PARAM;
  if (prep) {
    *lengthPF = prep->lengths.length();
    return PF_Err_NONE;
  }
  *lengthPF = SegmentLengths(segmentOf(path->shape, seg_index), kDefaultFrequency).length();
  return PF_Err_NONE;
}

PF_Err PF_PathEvalSegLength(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                            PF_PathSegPrepPtr* lengthPrepPP0, PF_PathSegIndex seg_index,
                            PF_FpLong length, PF_FpLong* x, PF_FpLong* y) {
  TB_ENTER(x, y);
  const PathObject* path = pathOf(effect_ref, pathP);
  if (!path || !x || !y || !validSegment(*path, seg_index))
    return PF_Err_BAD_CALLBACK_PARAM;
  const SegPrepObject* prep = prepOf(*path, seg_index, lengthPrepPP0);
  if (lengthPrepPP0 && *lengthPrepPP0 && !prep)
    return PF_Err_BAD_CALLBACK_PARAM;
  A_FloatPoint p =
      prep ? prep->lengths.pointAt(length)
           : SegmentLengths(segmentOf(path->shape, seg_index), kDefaultFrequency).pointAt(length);
  *x = p.x;
  *y = p.y;
  return PF_Err_NONE;
}

PF_Err PF_PathCleanupSegLength(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                               PF_PathSegIndex seg_index, PF_PathSegPrepPtr* lengthPrepP) {
  TB_ENTER();
  const PathObject* path = pathOf(effect_ref, pathP);
  const void* given = lengthPrepP ? *lengthPrepP : nullptr;
  if (!path || !resolveToEnd<SegPrepObject>(given, "prepared segment"))
    return PF_Err_BAD_CALLBACK_PARAM;
  if (!prepOf(*path, seg_index, lengthPrepP)) {
    Host::current().ledger().violation(
        "PF_PathCleanupSegLength: not a prepared segment of that path");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  Host::current().disposeRef(*lengthPrepP);
  *lengthPrepP = nullptr;
  return PF_Err_NONE;
}

const PF_PathDataSuite1 kPathData1 = {
    PF_PathIsOpen,       PF_PathNumSegments,   PF_PathPrepareSegLength,
    PF_PathGetSegLength, PF_PathEvalSegLength, PF_PathCleanupSegLength,
};

}  // namespace

void registerPathDataSuites(SuiteTable& table) {
  table.add(kPFPathDataSuite, kPFPathDataSuiteVersion1, &kPathData1);
}

}  // namespace tb
