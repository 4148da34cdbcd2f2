#pragma once

#include "platform/foundation/object.h"

#include <cstdint>

// A platform object holding one integer: the id a window timer carries, the data of a
// menu item.
class Swell_vVorna_sdh : public cocoa::NSObject
{
public:
  explicit Swell_vVorna_sdh(intptr_t value) : m_data(value) {}
  intptr_t getValue() const { return m_data; }

private:
  intptr_t m_data;
};
