#pragma once
// The dialog's controls as the settings gather reads them. The window implements this over its
// real controls; tests fake it. The logic never touches a control itself.
#include <cstdint>
#include <string>
#include <vector>

#include "jobs/job_settings.h"

class IJobControls {
 public:
  virtual ~IJobControls() = default;
  virtual bool IsChecked(int id) const = 0;        // any state but unchecked
  virtual std::wstring GetText(int id) const = 0;  // an edit box's text
  virtual int RowCount(int listId) const = 0;
  virtual std::wstring RowText(int listId, int row) const = 0;  // column 0, whole
  virtual bool IsRowChecked(int listId, int row) const = 0;
};

// The dialog's signed integer read of an edit box: text that is not a decimal number gives 0.
int ParseDialogInt(const std::wstring& text);

// Without rows: the 1-based position of the first checked row. With rows: empties it, appends
// the 0-based position of every checked row and returns the 1-based position of the last one.
// Both forms give -1 when no row is checked or the list has no rows.
int GetCheckedItems(const IJobControls& controls, int listId, std::vector<uint32_t>* rows = nullptr);

// The job kind a job radio stands for; 0 for any other control.
int32_t JobKindOfRadio(int id);
// The job radio of a job kind; 0 for a kind without one.
int JobRadioOf(int32_t jobKind);

// Reads the controls into settings. currentItem is the row of the last click on the file list
// (-1 when that click hit no row). jobKind, outputKind and firstFileOfBatch are not touched.
void GatherJobSettings(const IJobControls& controls, int currentItem, JobSettings& settings);
