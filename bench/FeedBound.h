#pragma once
// The block rate the tick rules allow for a feed: when the byte that completes a
// block reaches the program, by the simulator's schedule and delivery replayed,
// rounded up to the tick that takes it.

// How the simulator hands bytes over (its --piece/--interval and --usb/--latency).
struct Delivery {
    int pieceBytes = 0; // at most this many every pieceMs; 0: each write when due
    double pieceMs = 0;
    double usbLatencyMs = 0; // a USB chip's 62-byte pieces and latency timer; 0: none
};

// Seconds from the request leaving to the program holding the byte that completes a block.
double BlockReady(int timebase, const Delivery& feed);

// Blocks per second at most: a fast block's request leaves 10 ms after the tick that took
// the last block, a progressive one's at that tick (500 ms later from 0,5 s/div).
double BlockBound(int timebase, double tick, const Delivery& feed);
