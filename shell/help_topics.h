#pragma once
// The help: what each search does, what its progress lines and counters mean, the files and
// the settings. One text serves `aequa help TOPIC` and the window's Help Topics in every
// backend. Texts are paragraphs, one per line; lines that start with a space are examples and
// are never joined or wrapped into others.
#include <string>
#include <vector>

namespace aequa::ui {

struct HelpTopic {
  const char* name;   // as typed after "aequa help"
  const char* title;  // one line, shown in the list of topics
  std::string text;
};

// Every topic, in the order the contents list them.
const std::vector<HelpTopic>& HelpTopics();
// Null for an unknown topic.
const HelpTopic* FindHelpTopic(const std::string& name);
// The list of topics with their titles.
std::string HelpContents();
// One topic: its title, a blank line, its text.
std::string HelpTopicText(const HelpTopic& topic);
// The contents followed by every topic: the window's help.
std::string FullHelpText();
// `text` with each paragraph wrapped at `width` columns; a wrapped line keeps the paragraph's
// indentation.
std::string WrapHelpText(const std::string& text, size_t width);

}  // namespace aequa::ui
