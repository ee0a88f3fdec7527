# Kanzo: `make run` and `make test` each do all set-up on a fresh machine.
.PHONY: test run bench fuzz win64 win32 host installer clean

test:
	@tools/run-tests

run:
	@tools/run-app

bench:
	@tools/run-bench

fuzz:
	@tools/run-fuzz

win64 win32 host:
	@tools/deps && tools/build $@

# The 64-bit setup: build/win64/installer/Kanzo-<version>-setup.exe.
installer:
	@tools/deps && tools/build win64 && cmake --build "$${KANZO_BUILD:-build}/win64" --target installer && \
	    ls "$${KANZO_BUILD:-build}"/win64/installer/Kanzo-*-setup.exe

clean:
	@tools/harness stop; rm -rf build
