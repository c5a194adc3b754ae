#pragma once
// A pause of at least ms milliseconds that keeps processing window events
// (ticks, port notifications, clicks, paints); events run at least once.

void WaitMs(int ms);
