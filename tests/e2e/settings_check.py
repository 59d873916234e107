# Reads the settings file the way an outside program would, for the end-to-end tests.
#
# settings_check.py init FILE STATE EXTRA LENGTH   writes a user's file: every option, slots,
#     a Membrane, a position, and EXTRA keys of LENGTH characters the program never touches
# settings_check.py get FILE STATE KEY             prints the value the checks last saw
# settings_check.py verify FILE STATE [strict] [KEY=VALUE...]
#     The file must parse as an INI file without duplicate sections or keys and hold each
#     key of STATE, or, for a KEY given, one of the VALUEs given for it: a save that may or
#     may not have finished (with "strict": that must have finished). STATE is then
#     updated to what the file holds.
import configparser, json, os, random, string, sys

command, path, state_path, *args = sys.argv[1:]
if command == 'init':
    random.seed(7)
    state = dict(zip(('Options/' + k for k in 'TitleBar ButtonBackground LargeBevel MinimizeOnRun '
                      '3DText TextShadow SaveWinPos ConfirmExit 3Button DisplayTime TextRed '
                      'TextGreen TextBlue Password'.split()),
                     'Before 1 1 0 1 1 1 0 0 1 255 255 255'.split() + ['']))
    state.update({'Startup/Left': '1500', 'Startup/Top': '1500',
                  'Startup/Membrane': 'c:\\TALVENDOK\\Slate.emb'})
    for n in range(1, 5):
        state.update({'Buttons/Button%dCaption' % n: 'Slot %d' % n, 'Buttons/Button%dEXE' % n:
                      '/usr/bin/true', 'Buttons/Button%dIcon' % n: 'C:\\TALVENDOK\\DEFAULT.ICO'})
    state.update({'Extra/Key%04d' % i: ''.join(random.choices(string.ascii_letters, k=int(args[1])))
                  for i in range(int(args[0]))})
    with open(path, 'w') as f:
        for section in dict.fromkeys(key.split('/')[0] for key in state):
            f.write('[%s]\n' % section + ''.join('%s=%s\n' % (k[len(section) + 1:], v.replace(
                '\\', '\\\\')) for k, v in state.items() if k.startswith(section + '/')))
    os.chmod(path, 0o600)
elif command == 'get':
    sys.exit(print(json.load(open(state_path))[args[0]]))
else:
    state = json.load(open(state_path))
    strict = args[:1] == ['strict']
    pending = {}
    for key, value in (arg.split('=', 1) for arg in args[strict:]):
        pending.setdefault(key, []).append(value)
    parser = configparser.ConfigParser(interpolation=None, strict=True, delimiters=('=',))
    parser.optionxform = str
    try:
        parser.read(path, encoding='utf-8')
    except (configparser.Error, UnicodeDecodeError) as error:
        sys.exit('the settings file does not parse: %s' % error)
    unquote = lambda raw: raw[1:-1] if len(raw) > 1 and raw[0] == raw[-1] == '"' else raw
    values = {s + '/' + k: unquote(v).replace('\\\\', '\\') for s in parser.sections()
              for k, v in parser.items(s, raw=True)}
    problems = ['%s is %r, expected one of %r' % (key, values.get(key, '<missing>')[:60], allowed)
                for key in sorted(set(state) | set(pending))
                for allowed in [pending[key] if strict and key in pending else
                                [state[key]] * (key in state) + pending.get(key, [])]
                if (key in values or key in state) and values.get(key) not in allowed]
    problems and sys.exit('\n'.join(problems[:20]))
    state.update({key: values[key] for key in set(state) | set(pending) if key in values})
json.dump(state, open(state_path, 'w'))
