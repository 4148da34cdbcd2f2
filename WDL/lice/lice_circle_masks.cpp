#include "lice_circle_masks.h"

namespace
{
// clang-format off
constexpr unsigned char kPlain15[] = {
  0, 255, 255, 0,
  255, 0, 0, 255,
  255, 0, 0, 255,
  0, 255, 255, 0};
constexpr unsigned char kSmooth15[] = {
  79, 255, 255, 79,
  255, 15, 15, 255,
  255, 15, 15, 255,
  79, 255, 255, 79};

constexpr unsigned char kPlain2[] = {
  0, 0, 255, 0, 0,
  0, 255, 0, 255, 0,
  255, 0, 0, 0, 255,
  0, 255, 0, 255, 0,
  0, 0, 255, 0, 0};
constexpr unsigned char kSmooth2[] = {
  15, 191, 255, 191, 15,
  191, 209, 79, 209, 191,
  255, 79, 0, 79, 255,
  191, 209, 79, 209, 191,
  15, 191, 255, 191, 15};

constexpr unsigned char kPlain25[] = {
  0, 0, 255, 255, 0, 0,
  0, 255, 0, 0, 255, 0,
  255, 0, 0, 0, 0, 255,
  255, 0, 0, 0, 0, 255,
  0, 255, 0, 0, 255, 0,
  0, 0, 255, 255, 0, 0};
constexpr unsigned char kSmooth25[] = {
  15, 191, 255, 255, 191, 15,
  191, 209, 79, 79, 209, 191,
  255, 79, 0, 0, 79, 255,
  255, 79, 0, 0, 79, 255,
  191, 209, 79, 79, 209, 191,
  15, 191, 255, 255, 191, 15};

constexpr unsigned char kPlain3[] = {
  0, 0, 255, 255, 255, 0, 0,
  0, 255, 0, 0, 0, 255, 0,
  255, 0, 0, 0, 0, 0, 255,
  255, 0, 0, 0, 0, 0, 255,
  255, 0, 0, 0, 0, 0, 255,
  0, 255, 0, 0, 0, 255, 0,
  0, 0, 255, 255, 255, 0, 0};
constexpr unsigned char kSmooth3[] = {
  0, 143, 255, 255, 255, 143, 0,
  143, 255, 97, 64, 97, 255, 143,
  255, 112, 0, 0, 0, 112, 255,
  255, 48, 0, 0, 0, 48, 255,
  255, 112, 0, 0, 0, 112, 255,
  143, 255, 97, 64, 97, 255, 143,
  0, 143, 255, 255, 255, 143, 0};

constexpr unsigned char kPlain35[] = {
  0, 0, 255, 255, 255, 255, 0, 0,
  0, 255, 255, 0, 0, 255, 255, 0,
  255, 255, 0, 0, 0, 0, 255, 255,
  255, 0, 0, 0, 0, 0, 0, 255,
  255, 0, 0, 0, 0, 0, 0, 255,
  255, 255, 0, 0, 0, 0, 255, 255,
  0, 255, 255, 0, 0, 255, 255, 0,
  0, 0, 255, 255, 255, 255, 0, 0};
constexpr unsigned char kSmooth35[] = {
  0, 79, 222, 255, 255, 222, 79, 0,
  79, 255, 176, 64, 64, 176, 255, 79,
  222, 176, 0, 0, 0, 0, 176, 222,
  255, 64, 0, 0, 0, 0, 64, 255,
  255, 64, 0, 0, 0, 0, 64, 255,
  222, 176, 0, 0, 0, 0, 176, 222,
  79, 255, 176, 64, 64, 176, 255, 79,
  0, 79, 222, 255, 255, 222, 79, 0};

constexpr unsigned char kPlain4[] = {
  0, 0, 255, 255, 255, 255, 255, 0, 0,
  0, 255, 255, 0, 0, 0, 255, 255, 0,
  255, 255, 0, 0, 0, 0, 0, 255, 255,
  255, 0, 0, 0, 0, 0, 0, 0, 255,
  255, 0, 0, 0, 0, 0, 0, 0, 255,
  255, 0, 0, 0, 0, 0, 0, 0, 255,
  255, 255, 0, 0, 0, 0, 0, 255, 255,
  0, 255, 255, 0, 0, 0, 255, 255, 0,
  0, 0, 255, 255, 255, 255, 255, 0, 0};
constexpr unsigned char kSmooth4[] = {
  0, 31, 176, 255, 255, 255, 176, 31, 0,
  31, 240, 209, 79, 64, 79, 209, 240, 31,
  176, 209, 15, 0, 0, 0, 15, 209, 176,
  255, 79, 0, 0, 0, 0, 0, 79, 255,
  255, 48, 0, 0, 0, 0, 0, 48, 255,
  255, 79, 0, 0, 0, 0, 0, 79, 255,
  176, 209, 15, 0, 0, 0, 15, 209, 176,
  31, 240, 209, 79, 64, 79, 209, 240, 31,
  0, 31, 176, 255, 255, 255, 176, 31, 0};
// clang-format on

constexpr lice::CircleMask kMasks[] = {
    {1.5f, 4, kPlain15, kSmooth15}, {2.0f, 5, kPlain2, kSmooth2}, {2.5f, 6, kPlain25, kSmooth25},
    {3.0f, 7, kPlain3, kSmooth3},   {3.5f, 8, kPlain35, kSmooth35}, {4.0f, 9, kPlain4, kSmooth4},
};

// Each mask's size is its radius doubled plus one, rounded down.
template <int N>
constexpr bool Square(const unsigned char (&)[N], int side)
{
  return N == side * side;
}
static_assert(Square(kPlain15, 4) && Square(kSmooth15, 4) && Square(kPlain2, 5) && Square(kSmooth2, 5) &&
              Square(kPlain25, 6) && Square(kSmooth25, 6) && Square(kPlain3, 7) && Square(kSmooth3, 7) &&
              Square(kPlain35, 8) && Square(kSmooth35, 8) && Square(kPlain4, 9) && Square(kSmooth4, 9));
}  // namespace

const lice::CircleMask* lice::SmallCircleMask(float r)
{
  for (const CircleMask& m : kMasks)
    if (m.radius == r) return &m;
  return nullptr;
}
