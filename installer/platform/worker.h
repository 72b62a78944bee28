// A second thread that runs one job at a time, so that the engine can unpack
// the next piece of a file while the previous one is checked and written.
// The native build has no thread: a job runs at once, where it is posted.
#pragma once

typedef void (*WorkerJob)(void* context);

struct Worker {
  void* thread;
  void* posted;  // set when a job (or the stop) waits
  void* done;    // set when the job has run
  WorkerJob job;
  void* context;
  bool busy;
};

// False when no thread could be made; the caller then does the work itself.
bool StartWorker(Worker* worker);
// Runs job(context) on the worker; the previous job must have been waited for.
void PostToWorker(Worker* worker, WorkerJob job, void* context);
// Returns once the job posted last has run.
void WaitForWorker(Worker* worker);
// Waits for the job in hand, ends the thread and closes its handles.
void StopWorker(Worker* worker);
