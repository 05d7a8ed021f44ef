// The undo history as a list of document states with a cursor. A new state
// shares every frame record that equals one of the state before it, found by
// its block's offset; so a step costs the records it changed, and comparing
// two states is comparing pointers.
#include "editing/history.h"

#include <array>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/document.h"
#include "document/ui_operations.h"

namespace {

// Frame records copied by the steps kept, at most: older steps go first.
constexpr size_t kHistoryByteLimit = size_t{256} << 20;

struct State {
  std::vector<std::shared_ptr<const Frame>> frames;
  std::array<RgbTriple, 256> globalPalette;
  int16_t globalColorCount = 0;
  int16_t currentFrame = 0;
  uint16_t screenWidth = 0;
  uint16_t screenHeight = 0;
  uint8_t backgroundIndex = 0;
  uint8_t hasGlobalPalette = 0;
  int32_t loopCount = kLoopForever;
  std::string name;        // the step that led here
  uint64_t serial = 0;     // tells the saved state
  size_t copiedBytes = 0;  // records this state did not share
};

std::deque<State> states;
size_t at = 0;
uint64_t nextSerial = 1;
uint64_t savedSerial = 0;
size_t historyBytes = 0;

bool SameFrame(const Frame& a, const Frame& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
         a.colorCount == b.colorCount && a.sortFlag == b.sortFlag && a.interlaced == b.interlaced &&
         a.disposal == b.disposal && a.transparent == b.transparent && a.transparentIndex == b.transparentIndex &&
         a.delay == b.delay && a.dataOffset == b.dataOffset && a.useGlobalPalette == b.useGlobalPalette &&
         memcmp(a.palette, b.palette, sizeof a.palette) == 0 &&
         memcmp(a.displayMap, b.displayMap, sizeof a.displayMap) == 0 &&
         memcmp(a.usedColors, b.usedColors, sizeof a.usedColors) == 0;
}

// The document as a state, sharing the records it has in common with
// before: the record at the same place first, else one with the same block.
State Capture(const State* before) {
  std::unordered_multimap<uint32_t, const std::shared_ptr<const Frame>*> byOffset;
  State state;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    const std::shared_ptr<const Frame>* shared = nullptr;
    if (before != nullptr && static_cast<size_t>(i) < before->frames.size() && SameFrame(*before->frames[i], frame))
      shared = &before->frames[i];
    if (shared == nullptr && before != nullptr && byOffset.empty())
      for (const auto& record : before->frames) byOffset.emplace(record->dataOffset, &record);
    auto range = byOffset.equal_range(frame.dataOffset);
    for (auto it = range.first; it != range.second && shared == nullptr; ++it)
      if (SameFrame(**it->second, frame)) shared = it->second;
    if (shared != nullptr) {
      state.frames.push_back(*shared);
    } else {
      state.frames.push_back(std::make_shared<const Frame>(frame));
      state.copiedBytes += sizeof(Frame);
    }
  }
  memcpy(state.globalPalette.data(), doc.globalPalette, sizeof doc.globalPalette);
  state.globalColorCount = doc.globalColorCount;
  state.currentFrame = doc.currentFrame;
  state.screenWidth = doc.screenWidth;
  state.screenHeight = doc.screenHeight;
  state.backgroundIndex = doc.backgroundIndex;
  state.hasGlobalPalette = doc.hasGlobalPalette;
  state.loopCount = doc.loopCount;
  return state;
}

bool SameDocument(const State& a, const State& b) {
  return a.frames == b.frames && memcmp(a.globalPalette.data(), b.globalPalette.data(), sizeof a.globalPalette) == 0 &&
         a.globalColorCount == b.globalColorCount &&
         a.screenWidth == b.screenWidth && a.screenHeight == b.screenHeight &&
         a.backgroundIndex == b.backgroundIndex && a.hasGlobalPalette == b.hasGlobalPalette &&
         a.loopCount == b.loopCount;
}

void Restore(const State& state) {
  DeleteAllFramePalettes();
  for (int i = 0; i < doc.frameCount; ++i) doc.frames[i].reset();
  doc.frameCount = 0;
  for (const auto& record : state.frames) {
    doc.frames[doc.frameCount] = std::make_unique<Frame>(*record);
    CreateFramePalette(doc.frameCount++);
  }
  memcpy(doc.globalPalette, state.globalPalette.data(), sizeof doc.globalPalette);
  doc.globalColorCount = state.globalColorCount;
  doc.screenWidth = state.screenWidth;
  doc.screenHeight = state.screenHeight;
  doc.backgroundIndex = state.backgroundIndex;
  doc.hasGlobalPalette = state.hasGlobalPalette;
  doc.loopCount = state.loopCount;
  doc.currentFrame = state.currentFrame < doc.frameCount ? state.currentFrame : 0;
  doc.pendingChange = kNoPendingChange;
  SetModified(state.serial != savedSerial);
}

void DropOldestStep() {
  historyBytes -= states.front().copiedBytes;
  states.pop_front();
  --at;
}

void DropStepsAfter(size_t index) {
  while (states.size() > index + 1) {
    historyBytes -= states.back().copiedBytes;
    states.pop_back();
  }
}

}  // namespace

void StartHistory() {
  states.clear();
  states.push_back(Capture(nullptr));
  states.back().serial = savedSerial = nextSerial++;
  historyBytes = states.back().copiedBytes;
  at = 0;
}

bool RecordStep(const char* name, bool joined) {
  if (states.empty()) StartHistory();
  State state = Capture(&states[at]);
  if (SameDocument(state, states[at])) {
    states[at].currentFrame = doc.currentFrame;
    return false;
  }
  DropStepsAfter(at);
  if (joined && at > 0 && states[at].name == name && states[at].serial != savedSerial) {
    DropStepsAfter(--at);
    // Typed back to what it was: no step at all.
    if (SameDocument(state, states[at])) {
      SetModified(states[at].serial != savedSerial);
      return false;
    }
  }
  state.name = name;
  state.serial = nextSerial++;
  historyBytes += state.copiedBytes;
  states.push_back(std::move(state));
  ++at;
  while (at > kMaxUndoSteps || (historyBytes > kHistoryByteLimit && at > 1)) DropOldestStep();
  return true;
}

void MarkStateSaved() {
  if (states.empty()) StartHistory();
  savedSerial = states[at].serial;
}

const char* UndoStepName() { return at > 0 ? states[at].name.c_str() : nullptr; }

const char* RedoStepName() { return at + 1 < states.size() ? states[at + 1].name.c_str() : nullptr; }

bool UndoStep() {
  if (at == 0) return false;
  Restore(states[--at]);
  return true;
}

bool RedoStep() {
  if (at + 1 >= states.size()) return false;
  Restore(states[++at]);
  return true;
}

bool HistoryKeepsOldBlocks() { return states.size() > 1; }
