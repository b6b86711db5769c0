#pragma once
// Keeps the main loop's own work with the image library off the library's thread pool. The
// pool's workers are shared by every thread of the process, and detection keeps them busy in
// the batch scheduling class (BackgroundPriority): a frame that handed them a share of its work
// would wait for a worker busy with a share of the detection, while a frame this small gains
// nothing from the pool.

#include <functional>

// Runs work on the calling thread and keeps the library's calls made within it on that thread
// too, instead of spreading them over the pool.
void runOnCallingThread(const std::function<void()>& work);
