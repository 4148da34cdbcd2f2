#pragma once

// Static texts of the toolkit: a text, and a link that opens an address in the
// system's browser. Both size themselves from their text and keep their top left.

#include "IControlZK.h"

#include <string>

class ITextControlZK : public IControlZK
{
public:
  // Size 16, "Geneva", white, centred.
  ITextControlZK(IPlugBase* plug, int x, int y);
  // A null font is "Geneva".
  ITextControlZK(IPlugBase* plug, int x, int y, int size, const char* font);

  bool Draw(IGraphics* graphics) override;

  virtual void SetText(std::string text);
  virtual void SetAlignment(IText::EAlign align) { mText.mAlign = align; }
  // Body, drawing and target rectangles become (0, 0, w, h) for the text at its size.
  virtual void AdjustRects();

  const std::string& GetString() const { return mString; }

protected:
  std::string mString;
};

class IURLControlZK : public IControlZK
{
public:
  IURLControlZK(IPlugBase* plug, int x, int y, const char* address, const char* text, int size, const char* font);

  // A right click goes to the right-click signal; any other opens the address, as it
  // is when it names its scheme ("mailto:", "http:", "https:"), else as "http://" +
  // the address. An empty address opens nothing.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

  void SetURL(std::string address, std::string text);
  const std::string& GetURL() const { return mURL; }
  const std::string& GetURLText() const { return mURLText; }

protected:
  std::string mURL;
  std::string mURLText;
};
