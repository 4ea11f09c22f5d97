// The program's one instantiation of the ear clipper: int indices over the host's 2-D points.
#include "TOLV_Mask/math/triangulate_impl.h"

namespace math {
namespace tri {

template std::vector<int> triangulate<int, A_FloatPoint>(const std::vector<A_FloatPoint>&);
template float winding_value<A_FloatPoint>(const std::vector<A_FloatPoint>&, const vertex_t&);
template bool is_ear_tip<A_FloatPoint>(const std::vector<A_FloatPoint>&, const vertex_t&,
                                       const std::list<vertex_t*>&);
template bool triangle_contains<A_FloatPoint>(const A_FloatPoint&, const A_FloatPoint&,
                                              const A_FloatPoint&, const A_FloatPoint&);

}  // namespace tri
}  // namespace math
