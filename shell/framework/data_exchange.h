#pragma once
// Data exchange and validation between a dialog's members and its controls. Loading puts
// each member's text into its control; saving reads and checks every field in order and stops
// at the first one refused, keeping its control id and the framework's prompt.
#include <cstdint>
#include <string>

namespace aequa::fw {

class Dialog;

class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saveAndValidate)
      : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

  bool saving() const { return saveAndValidate_; }
  bool failed() const { return failedControl_ != 0; }
  int failedControl() const { return failedControl_; }
  const std::string& prompt() const { return prompt_; }

  // After a refusal every later exchange does nothing.
  void Fail(int controlId, const std::string& prompt);
  Dialog& dialog() { return dialog_; }
  int lastControl() const { return lastControl_; }
  void setLastControl(int id) { lastControl_ = id; }

 private:
  Dialog& dialog_;
  bool saveAndValidate_;
  int failedControl_ = 0;
  int lastControl_ = 0;
  std::string prompt_;
};

// Text fields: unsigned ("Please enter a positive integer."), signed ("Please enter an
// integer.") and free text.
void DDX_Text(DataExchange& dx, int id, uint32_t& value);
void DDX_Text(DataExchange& dx, int id, int32_t& value);
void DDX_Text(DataExchange& dx, int id, std::string& value);
// A radio group named by its first button: the index of the checked button, -1 for none.
void DDX_Radio(DataExchange& dx, int firstId, int32_t& index);

// Validation of the value just exchanged (applies to the last DDX_Text's control).
void DDV_MinMaxUInt(DataExchange& dx, uint32_t value, uint32_t min, uint32_t max);
void DDV_MinMaxInt(DataExchange& dx, int32_t value, int32_t min, int32_t max);
void DDV_MaxChars(DataExchange& dx, const std::string& value, size_t maxChars);

}  // namespace aequa::fw
