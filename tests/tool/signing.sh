#!/usr/bin/env bash
# The signing command: the setup program and the uninstaller inside it verify
# with the certificate, and the package behind the signature still reads. A
# command that fails or is interrupted leaves nothing new; setup.exe keeps its bytes.
set -euo pipefail
wrenly=$1 work=$2
for t in openssl osslsigncode; do command -v $t >/dev/null || { echo "no $t (scripts/bootstrap)"; exit 77; }; done
rm -rf "$work"; mkdir -p "$work"; cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=wrenly-test -days 2 -keyout k.pem -out c.pem 2>/dev/null
echo hello > a.txt
printf '[product]\nname = "S"\n[uninstaller]\n[signing]\ncommand = "${SIGN}"\n[[files]]\nsource = "a.txt"\n' > p.toml
sign='osslsigncode sign -certs c.pem -key k.pem -in {in} -out "{out}"'
"$wrenly" build p.toml -q -D SIGN='false {in} {out}' --sign "$sign" > /dev/null  # the option wins
osslsigncode verify -CAfile c.pem -in setup.exe > /dev/null
image=$("$wrenly" inspect --verify setup.exe | sed -n 's/^uninstaller image: \([0-9]*\) bytes$/\1/p')
"$wrenly" extract setup.exe x > /dev/null
head -c "$image" x/install/uninstall.exe > x/program.exe  # its texts follow the signature
osslsigncode verify -CAfile c.pem -in x/program.exe > /dev/null
cp setup.exe signed.exe; before=$(find . | sort)

# Quoted by the rules of the command line; the build passes SIGINT on to the command.
interrupt='sh -c "touch \"started here\"; exec sleep 600" {in} {out}'
while IFS='|' read -r option command code message; do
  rc=0; "$wrenly" build p.toml -q ${option:+"$option"} -D SIGN="$command" 2> err || rc=$?
  [ "$rc" = "$code" ] && grep -qF -- "$message" err || { echo "$command: exit $rc: $(cat err)"; exit 1; }
  cmp -s setup.exe signed.exe && [ "$(find . -name err -o -print | sort)" = "$before" ] ||
    { echo "$command left: $(find . | sort)"; exit 1; }
done <<CASES
|false {in} {out}|5|p.toml:5: signing the uninstaller failed: false exited with status 1
|sh -c 'echo own words >&2; exit 3' {in} {out}|5|own words
|no-such-signer {in} {out}|5|no-such-signer cannot start
|true {in} {out}|5|wrote nothing to {out}
|sh -c 'head -c 50000 \$0 > \$1' {in} {out}|5|changed the package that follows the program
|sh -c 'case \$0 in *-0.tmp.exe) exit 7;; esac; cp \$0 \$1' {in} {out}|5|the setup program failed: sh exited with status 7
|osslsigncode sign {in}|1|p.toml:5: the signing command needs {in} and {out}
--sign=sign "{in} {out}|x|2|--sign: the signing command leaves a " quote open
CASES

"$wrenly" build p.toml -q -D SIGN=x --sign "$interrupt" 2> err &
until [ -e "started here" ] || ! kill -0 $! 2>/dev/null; do sleep 0.05; done
kill -INT $!
rc=0; wait $! || rc=$?
[ "$rc" = 130 ] || { echo "interrupted signing: exit $rc: $(cat err)"; exit 1; }
rm "started here"
cmp -s setup.exe signed.exe && [ "$(find . -name err -o -print | sort)" = "$before" ] || { echo "left: $(find . | sort)"; exit 1; }
