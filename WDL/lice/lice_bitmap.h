#pragma once

#include "swell-types.h"

#include <cstdint>

// A bitmap of 32-bit pixels 0xAARRGGBB with straight alpha (bytes in memory: blue,
// green, red, alpha). The row span counts pixels. A flipped bitmap stores its rows
// bottom-up; every drawing routine asks.
class LICE_IBitmap
{
public:
  virtual ~LICE_IBitmap() = default;

  virtual unsigned int* getBits() = 0;  // pixel (0, 0) as stored, or null
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;
  virtual bool isFlipped() { return false; }
  // False when the size is unchanged; true otherwise, even if no storage could be had.
  virtual bool resize(int w, int h) = 0;
  virtual HDC getDC() { return nullptr; }
  // Numbered questions for extensions; 0 means not supported.
  virtual std::intptr_t Extended(int id, void* data)
  {
    (void)id;
    (void)data;
    return 0;
  }
};

// Pixels in one heap block that never shrinks and grows with a quarter of headroom.
class LICE_MemBitmap : public LICE_IBitmap
{
public:
  // linealign rounds the row span up to a power of two (mask at most 16).
  explicit LICE_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  unsigned int* getBits() override;
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return (m_width + m_linealign) & ~m_linealign; }
  bool resize(int w, int h) override { return __resize(w, h); }

  // Usable bytes of the current block.
  int getAllocated() const { return m_allocsize; }

private:
  bool __resize(int w, int h);
  void release();

  void* m_fb = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_allocsize = 0;
  int m_linealign = 0;
};

// Pixels owned by a memory drawing context of the window layer, so GDI-style calls
// and the raster routines draw into the same memory. Shrinking keeps the context.
class LICE_SysBitmap : public LICE_IBitmap
{
public:
  explicit LICE_SysBitmap(int w = 0, int h = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  unsigned int* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_allocw; }
  bool resize(int w, int h) override { return __resize(w, h); }
  HDC getDC() override { return m_dc; }

private:
  bool __resize(int w, int h);
  void releaseContext();

  int m_width = 0;
  int m_height = 0;
  HDC m_dc = nullptr;
  unsigned int* m_bits = nullptr;
  int m_allocw = 0;
  int m_alloch = 0;
};
