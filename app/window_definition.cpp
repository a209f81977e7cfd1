#include "app/window_definition.h"

#include "values/record_reader.h"

namespace korvane {
namespace {

// No real definition comes near these; they only stop a damaged block from asking for
// absurd allocations before the reads run out of data.
constexpr uint32_t kMaxRecords = 4096;
constexpr uint32_t kMaxListed = 4096;

bool read_common_record(ByteSpan bytes, ControlRecord& out) {
  RecordReader r(bytes);
  uint32_t reserved, slot, count;
  ByteSpan name, remark, pointer, tag;
  r.u32(out.kind);
  for (int i = 0; i < 5; ++i) r.u32(reserved);
  r.nul_terminated(name);
  r.nul_terminated(remark);
  r.u32(slot);
  r.i32(out.left);
  r.i32(out.top);
  r.i32(out.width);
  r.i32(out.height);
  r.u32(slot);
  r.u32(out.parent_id);
  if (!r.u32(count) || count > kMaxListed || count * 4ull > r.remaining()) return false;
  out.children.resize(count);
  for (uint32_t& child : out.children) r.u32(child);
  r.counted(pointer);
  r.nul_terminated(tag);
  r.u32(reserved);
  r.u32(out.state_flags);
  r.i32(out.tab_order);
  if (!r.u32(count) || count > kMaxListed || count * 8ull > r.remaining()) return false;
  out.events.resize(count);
  for (EventBinding& e : out.events) {
    r.u32(e.event);
    r.i32(e.handler);
  }
  for (int i = 0; i < 5; ++i) r.u32(reserved);
  if (!r.ok()) return false;
  out.name.assign(reinterpret_cast<const char*>(name.data), name.size);
  out.settings = r.rest();
  return true;
}

}  // namespace

std::optional<WindowDefinition> read_window_definition(ByteSpan block) {
  RecordReader r(block);
  uint32_t list_length;
  if (!r.u32(list_length) || list_length < 8 || list_length % 8 != 0 || list_length > r.remaining())
    return std::nullopt;
  WindowDefinition definition;
  uint32_t slot;
  r.u32(definition.window_id);
  r.u32(slot);
  // Only the first window is built; any further list entries are passed over.
  r.skip(list_length - 8);

  uint32_t header_a, header_b, record_count, area_length;
  ByteSpan text_a, text_b;
  r.u32(header_a);
  r.u32(header_b);
  r.counted(text_a);
  r.counted(text_b);
  r.u32(record_count);
  r.u32(area_length);
  if (!r.ok() || record_count == 0 || record_count > kMaxRecords || area_length > r.remaining())
    return std::nullopt;
  ByteSpan area{block.data + r.position(), area_length};

  RecordReader tables(area);
  if (record_count * 8ull > area.size) return std::nullopt;
  std::vector<uint32_t> ids(record_count), offsets(record_count);
  for (uint32_t& id : ids) tables.u32(id);
  for (uint32_t& offset : offsets) tables.u32(offset);
  const size_t body_start = tables.position();
  const size_t body_size = area.size - body_start;

  definition.records.resize(record_count);
  for (uint32_t i = 0; i < record_count; ++i) {
    if (offsets[i] > body_size) return std::nullopt;
    RecordReader at(ByteSpan{area.data + body_start + offsets[i], body_size - offsets[i]});
    ByteSpan record;
    if (!at.counted(record)) return std::nullopt;
    ControlRecord& out = definition.records[i];
    out.control_id = ids[i];
    if (!read_common_record(record, out)) return std::nullopt;
  }
  return definition;
}

}  // namespace korvane
