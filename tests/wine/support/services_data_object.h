// A data object for the drop-target tests: holds a shell file list (CF_HDROP), plain text
// (CF_TEXT) or both, in global memory, and counts how often its data was fetched. Also a drop
// source that lets an in-process OLE drag drop after a few polls.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace korvane::services_test {

class TestDataObject final : public IDataObject {
 public:
  TestDataObject() = default;
  TestDataObject(const TestDataObject&) = delete;
  TestDataObject& operator=(const TestDataObject&) = delete;

  // An ANSI DROPFILES list of the paths.
  void add_files(const std::vector<std::string>& paths);
  // A raw CF_HDROP block, for damaged lists.
  void add_file_block(const std::vector<uint8_t>& block);
  void add_text(const std::string& text);

  int get_data_calls() const { return get_data_calls_; }
  LONG references() const { return references_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  // The test owns the object on its stack: the count only reports, it never deletes.
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&references_)); }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  struct Entry {
    CLIPFORMAT format;
    std::vector<uint8_t> bytes;
  };
  const Entry* find(const FORMATETC* format) const;

  LONG references_ = 1;
  std::vector<Entry> entries_;
  int get_data_calls_ = 0;
};

// Lets the drag go on for `polls` calls of QueryContinueDrag, then drops.
class TestDropSource final : public IDropSource {
 public:
  explicit TestDropSource(int polls) : polls_left_(polls) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return --polls_left_ > 0 ? S_OK : DRAGDROP_S_DROP;
  }
  STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int polls_left_;
};

}  // namespace korvane::services_test
