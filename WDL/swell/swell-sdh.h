#pragma once

#include "swell-types.h"

#include "platform/foundation/object.h"

// Holds one pointer-sized integer of the caller's where the platform keeps an object: the
// data of a menu item (its represented object), the id of a window timer.
class Swell_vVorna_sdh : public cocoa::NSObject
{
public:
  explicit Swell_vVorna_sdh(INT_PTR value) : m_data(value) {}
  INT_PTR getValue() const { return m_data; }

private:
  INT_PTR m_data;
};
