#pragma once
// The document of the single-document frame: it holds nothing; the log is the content.
#include "shell/framework/document_view.h"

namespace aequa::ui {

class CAequoDoc : public fw::Document {};

}  // namespace aequa::ui
