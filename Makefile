# Kanzo: `make run` and `make test` each do all set-up on a fresh machine.
.PHONY: test run bench fuzz win64 win32 host clean

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

clean:
	@tools/harness stop; rm -rf build
