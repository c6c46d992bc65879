#include "signal/ChannelSelection.h"

#include <algorithm>

namespace {

// A channel source after moving it onto the catalogue.
struct ResolvedSource {
    int input = 0;
    int signal = 0;
    const SignalEntry* entry = nullptr; // nullptr only for a box without inputs
};

ResolvedSource resolve(const Catalogue& catalogue, int input, int signal) {
    ResolvedSource source;
    if (catalogue.inputs.empty())
        return source;
    const int lastInput = static_cast<int>(catalogue.inputs.size()) - 1;
    source.input = std::clamp(input, 0, lastInput);
    const auto& signals = catalogue.inputs[static_cast<size_t>(source.input)];
    source.signal = std::clamp(signal, 0, static_cast<int>(signals.size()) - 1);
    source.entry = &signals[static_cast<size_t>(source.signal)];
    return source;
}

bool readsSecondSource(int op) {
    return op == OperationAdd || op == OperationSubtract;
}

void markUsed(std::vector<bool>& usedSlots, const ResolvedSource& source) {
    if (source.entry)
        usedSlots[static_cast<size_t>(source.entry->slot)] = true;
}

// Signal 4 of input 2 is read inverted: on the usual box, with two SinCos inputs first, it is the
// zero pulse R of the first HTL/TTL input, whose level arrives inverted. The rule goes by input
// and signal number only, whatever the kind of input 2; only levels (kinds 1 to 3) heed it.
SourceLayout layoutOf(const ResolvedSource& source, const std::vector<int>& slotOffsets) {
    SourceLayout layout;
    if (!source.entry)
        return layout;
    layout.offset = slotOffsets[static_cast<size_t>(source.entry->slot)];
    layout.kind = source.entry->kind;
    layout.invertBit = source.input == 2 && source.signal == 4;
    return layout;
}

// Walks the input's entries with a bit that moves up after every change of slot number, so the
// entries that follow the first one on a shared slot test the bit after that entry's bit. This
// is the bit numbering the SELECT command of the box expects.
int selectMask(const std::vector<SignalEntry>& entries, const std::vector<bool>& usedSlots) {
    int mask = 0;
    int bit = 0;
    int previousSlot = -1;
    for (const SignalEntry& entry : entries) {
        if (usedSlots[static_cast<size_t>(entry.slot)])
            mask |= 1 << bit;
        if (entry.slot != previousSlot)
            ++bit;
        previousSlot = entry.slot;
    }
    return mask;
}

} // namespace

ChannelSelection computeChannelSelection(const Config& config) {
    ChannelSelection selection;
    selection.catalogue = buildCatalogue(config.inputSettings);
    const Catalogue& catalogue = selection.catalogue;
    selection.usedSlots.assign(static_cast<size_t>(catalogue.slotCount), false);

    for (const GraphData& graph : config.graphList) {
        for (const ChannelData& channel : graph.channelList) {
            markUsed(selection.usedSlots, resolve(catalogue, channel.input, channel.channel));
            if (readsSecondSource(channel.op))
                markUsed(selection.usedSlots, resolve(catalogue, channel.input2, channel.channel2));
        }
    }

    for (const auto& entries : catalogue.inputs)
        selection.selectMasks.push_back(selectMask(entries, selection.usedSlots));

    // Slot sizes by slot number; the entries that share a slot agree on its size.
    std::vector<int> slotSizes(static_cast<size_t>(catalogue.slotCount), 0);
    for (const auto& entries : catalogue.inputs)
        for (const SignalEntry& entry : entries)
            slotSizes[static_cast<size_t>(entry.slot)] = entry.size;
    selection.slotOffsets.assign(static_cast<size_t>(catalogue.slotCount), -1);
    for (size_t slot = 0; slot < slotSizes.size(); ++slot) {
        if (!selection.usedSlots[slot])
            continue;
        selection.slotOffsets[slot] = selection.frameSize;
        selection.frameSize += slotSizes[slot];
    }

    for (const GraphData& graph : config.graphList) {
        std::vector<ChannelRuntime>& records = selection.graphChannels.emplace_back();
        for (const ChannelData& channel : graph.channelList) {
            ChannelRuntime record = makeChannelRuntime(channel, catalogue);
            record.source =
                layoutOf(resolve(catalogue, channel.input, channel.channel), selection.slotOffsets);
            if (readsSecondSource(channel.op))
                record.source2 = layoutOf(resolve(catalogue, channel.input2, channel.channel2),
                                          selection.slotOffsets);
            records.push_back(record);
        }
    }
    return selection;
}
