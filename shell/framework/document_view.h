#pragma once
// Document and view of the single-document frame.
#include "shell/framework/canvas.h"
#include "shell/framework/command_target.h"

namespace aequa::fw {

class Document : public CommandTarget {};

class View : public CommandTarget {
 public:
  virtual void OnDraw(Canvas& canvas) = 0;
  // The document changed; the default asks for nothing more.
  virtual void OnUpdate() {}
  void SetDocument(Document* document) { document_ = document; }
  Document* GetDocument() const { return document_; }

 private:
  Document* document_ = nullptr;
};

}  // namespace aequa::fw
