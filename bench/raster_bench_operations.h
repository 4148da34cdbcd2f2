#pragma once

// The operations raster-bench times: each drawn by our library and by pixman or
// cairo on the same pictures, with the rounding by which the two may differ.

#include "lice.h"
#include "raster_bench_agreement.h"
#include "raster_bench_images.h"

#include <cairo.h>
#include <pixman.h>

#include <span>

namespace raster_bench
{
// What an operation draws from, besides the window-sized destination.
enum class Source
{
  None,
  OpaquePattern,
  AlphaPattern,
  ScaledPattern,
  KnobStrip
};

// Every shape is drawn in this colour.
constexpr unsigned int kShapeColour = 0xFF336699;

// Our side: straight alpha.
struct OurScene
{
  LICE_MemBitmap dest{kWidth, kHeight, 4};
  LICE_MemBitmap src{0, 0, 4};
  explicit OurScene(Source source);
};

// The other side: the same pictures premultiplied, under pixman images and a cairo
// context that share the destination's pixels.
struct PeerScene
{
  Image destImage;
  Image srcImage;
  pixman_image_t* dest = nullptr;
  pixman_image_t* src = nullptr;
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;

  explicit PeerScene(Source source);
  ~PeerScene();
  PeerScene(const PeerScene&) = delete;
  PeerScene& operator=(const PeerScene&) = delete;
};

struct Operation
{
  const char* name;
  const char* peer;
  Source source;
  Tolerance tolerance;
  void (*ours)(OurScene&);     // one iteration's work
  void (*theirs)(PeerScene&);  // the same work
  void (*preparePeer)(PeerScene&);  // settings made once, or null
};

std::span<const Operation> Operations();
}  // namespace raster_bench
