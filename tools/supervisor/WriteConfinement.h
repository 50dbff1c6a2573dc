#pragma once

// Confines this process, and everything it starts from now on, so that it can create, change or
// remove files only below one folder (and write to /dev/null); reading stays free everywhere.
// Built on Landlock, which the kernel may lack.
namespace supervisor {

// The Landlock ABI version this kernel offers; 0 when it offers none.
int landlockAbi();

// 0 once confined, or when the kernel has no Landlock (the program that started us says so);
// otherwise the error number. alsoWritable, when not null, is one more folder left writable.
int confineWrites(const char* folder, const char* alsoWritable);

}  // namespace supervisor
