#pragma once

// The control characters of the machines' serial dialogues.
namespace steuer {
constexpr char STX = 0x02;
constexpr char ENQ = 0x05;
constexpr char ACK = 0x06;
constexpr char CR = 0x0D;
constexpr char NAK = 0x15;
constexpr char ETB = 0x17;
}  // namespace steuer
