#pragma once
// Thread settings that the standard library does not offer.

namespace ls {

// Sets the calling thread's priority from a Windows thread priority value
// (-15 idle, -2 lowest, -1 lower, 0 normal, 1 higher, 2 highest, 15 time
// critical). Best effort: where the system refuses (raising a priority
// usually needs privileges), the thread keeps its priority. Returns whether
// the priority was set.
bool SetCurrentThreadPriority(int windowsPriority);

}  // namespace ls
