#include "support/services_data_object.h"

#include <shlobj.h>

#include <cstring>

namespace korvane::services_test {

void TestDataObject::add_files(const std::vector<std::string>& paths) {
  DROPFILES header = {};
  header.pFiles = sizeof header;
  header.fWide = FALSE;
  std::vector<uint8_t> block(sizeof header);
  std::memcpy(block.data(), &header, sizeof header);
  for (const std::string& p : paths) {
    block.insert(block.end(), p.begin(), p.end());
    block.push_back(0);
  }
  block.push_back(0);
  add_file_block(block);
}

void TestDataObject::add_file_block(const std::vector<uint8_t>& block) { entries_.push_back({CF_HDROP, block}); }

void TestDataObject::add_text(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  entries_.push_back({CF_TEXT, bytes});
}

const TestDataObject::Entry* TestDataObject::find(const FORMATETC* format) const {
  if (!format || !(format->tymed & TYMED_HGLOBAL) || format->dwAspect != DVASPECT_CONTENT) return nullptr;
  for (const Entry& e : entries_)
    if (e.format == format->cfFormat) return &e;
  return nullptr;
}

STDMETHODIMP TestDataObject::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP TestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  ++get_data_calls_;
  const Entry* e = find(format);
  if (!e) return DV_E_FORMATETC;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, e->bytes.size());
  if (!memory) return E_OUTOFMEMORY;
  std::memcpy(GlobalLock(memory), e->bytes.data(), e->bytes.size());
  GlobalUnlock(memory);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP TestDataObject::QueryGetData(FORMATETC* format) { return find(format) ? S_OK : DV_E_FORMATETC; }

STDMETHODIMP TestDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP TestDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (const Entry& e : entries_) formats.push_back({e.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
}

STDMETHODIMP TestDropSource::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
    *out = static_cast<IDropSource*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

}  // namespace korvane::services_test
