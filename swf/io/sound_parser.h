#pragma once
// The sound tags: DefineSound, StartSound and StartSound2 with their
// SoundInfo record, SoundStreamHead(2), SoundStreamBlock and
// DefineButtonSound.

#include <cstdint>
#include <memory>
#include <span>

#include "swf/io/bit_reader.h"
#include "swf/model/character.h"
#include "swf/model/sound.h"

namespace swf {

std::shared_ptr<SoundDefinition> ParseDefineSound(std::span<const std::uint8_t> body);
SoundInfo ReadSoundInfo(BitReader& in);
// StartSound (a character id) or StartSound2 (a class name).
StartSoundCommand ParseStartSound(std::span<const std::uint8_t> body, bool byClassName);
StreamSoundHead ParseSoundStreamHead(std::span<const std::uint8_t> body);
// `head` is the timeline's stream head, if it came first: MP3 blocks carry
// their own counts before the data.
StreamSoundBlock ParseSoundStreamBlock(std::span<const std::uint8_t> body, const StreamSoundHead* head);
// Gives the button its four transition sounds: a new copy replaces it.
std::shared_ptr<const Character> ApplyDefineButtonSound(std::span<const std::uint8_t> body,
                                                        const Dictionary& dictionary);

}  // namespace swf
