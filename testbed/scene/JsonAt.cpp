#include "testbed/scene/JsonAt.h"

#include <algorithm>
#include <cmath>

namespace tb::scene {

namespace {

std::string quote(const std::string& s) {
  return "\"" + s + "\"";
}

}  // namespace

void JsonAt::expectKeys(std::initializer_list<const char*> keys) const {
  if (!value_->is_object())
    fail("must be an object");
  for (const auto& item : value_->items()) {
    if (std::none_of(keys.begin(), keys.end(), [&](const char* k) { return item.key() == k; }))
      fail("unknown key " + quote(item.key()));
  }
}

JsonAt JsonAt::at(const char* key) const {
  if (!has(key))
    fail("missing key " + quote(key));
  return JsonAt(value_->at(key), path_.key(key));
}

std::vector<std::pair<std::string, JsonAt>> JsonAt::members(const char* what) const {
  if (!value_->is_object())
    fail(what);
  std::vector<std::pair<std::string, JsonAt>> out;
  for (const auto& item : value_->items())
    out.emplace_back(item.key(), JsonAt(item.value(), path_.key(item.key())));
  return out;
}

JsonAt JsonAt::list(const char* what) const {
  if (!value_->is_array())
    fail(what ? what : "must be a list");
  return *this;
}

double JsonAt::number() const {
  if (!value_->is_number())
    fail("must be a number");
  return value_->get<double>();
}

long long JsonAt::integer(long long low, long long high) const {
  const double v = number();
  if (v != std::floor(v) || v < static_cast<double>(low) || v > static_cast<double>(high))
    fail("must be a whole number in " + std::to_string(low) + "–" + std::to_string(high));
  return static_cast<long long>(v);
}

std::string JsonAt::text() const {
  if (!value_->is_string())
    fail("must be a string");
  return value_->get<std::string>();
}

std::string JsonAt::name() const {
  std::string s = text();
  if (s.empty())
    fail("must not be empty");
  return s;
}

bool JsonAt::flag() const {
  if (!value_->is_boolean())
    fail("must be true or false");
  return value_->get<bool>();
}

A_FloatPoint JsonAt::point2() const {
  if (!value_->is_array() || value_->size() != 2)
    fail("must be a point [x, y]");
  return A_FloatPoint{(*this)[0].number(), (*this)[1].number()};
}

A_FloatPoint3 JsonAt::point3(double z) const {
  if (!value_->is_array() || (value_->size() != 2 && value_->size() != 3))
    fail("must be [x, y, z] or [x, y]");
  return A_FloatPoint3{(*this)[0].number(), (*this)[1].number(),
                       value_->size() == 3 ? (*this)[2].number() : z};
}

PF_Pixel JsonAt::color() const {
  const char* what = "must be a colour [r, g, b, a] of 4 whole numbers in 0–255";
  if (!value_->is_array() || value_->size() != 4)
    fail(what);
  A_u_char c[4];
  for (size_t i = 0; i < 4; ++i) {
    const nlohmann::json& v = (*value_)[i];
    if (!v.is_number() || v.get<double>() != std::floor(v.get<double>()) || v.get<double>() < 0 ||
        v.get<double>() > 255)
      fail(what);
    c[i] = static_cast<A_u_char>(v.get<double>());
  }
  return PF_Pixel{c[3], c[0], c[1], c[2]};
}

}  // namespace tb::scene
