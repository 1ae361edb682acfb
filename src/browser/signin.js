// The automatic sign-in, run in an isolated world of a tab's top document: the page's own scripts can neither see
// nor change it. Its one argument is data, never script text:
//   id, password  the profile's login name and password
//   address       the stored address; the login step acts only while the top document shows it
//   step          'login': the page at the stored address; 'password': a later page of a two-step sign-in
//   submit        whether to press the form's submit control once the values are set
//   waitMs        how long to watch the page for the fields to appear
//   followMs      after a user-name step, how long to watch the same document for its password field
//   tag           opens every report to the program, which the page cannot read and so cannot forge
// Reports, as console messages: 'first' (a user-name step was filled), 'done' (the password was filled),
// 'enter' (focus is in the last filled field: the program presses Enter there, as a real key).
(function (data) {
    'use strict';
    const report = (what) => console.log(data.tag + ' ' + what);
    const now = () => performance.now();

    // --- Where to look: the top document, same-origin frames and open shadow roots, in tree order. ---

    function frameDocument(e) {
        if (e.tagName !== 'IFRAME' && e.tagName !== 'FRAME')
            return null;
        try {
            return e.contentDocument; // null for a frame of another origin
        } catch (err) {
            return null;
        }
    }
    // Shadow roots and same-origin frames, by their hosts, found once for each look at the page: a walk over every
    // element is the one costly step, and everything else uses the engine's own queries.
    let innerRoots = null;
    function inner() {
        if (!innerRoots) {
            innerRoots = new Map();
            const scan = (root) => {
                for (const e of root.querySelectorAll('*')) {
                    const found = e.shadowRoot || frameDocument(e);
                    if (found && (found.host || found.documentElement))
                        innerRoots.set(e, found), scan(found);
                }
            };
            scan(document);
        }
        return innerRoots;
    }
    const look = () => (innerRoots = null);
    const roots = () => [document].concat(Array.from(inner().values()));
    const treeOf = (n) => (n.nodeType === 9 || n.nodeType === 11 ? n : n.getRootNode());
    // The elements under root that match selector, in tree order, with those of its shadow roots and frames in their
    // hosts' places.
    function deepQuery(selector, root) {
        const found = Array.from(root.querySelectorAll(selector));
        const hosts = Array.from(inner().keys()).filter(
            (h) => h !== root && h.getRootNode() === treeOf(root) && root.contains(h));
        if (!hosts.length)
            return found;
        const all = found.concat(hosts.filter((h) => !found.includes(h)));
        all.sort((a, b) => (a === b ? 0 : a.compareDocumentPosition(b) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1));
        const out = [];
        for (const e of all) {
            if (found.includes(e))
                out.push(e);
            if (inner().has(e))
                out.push(...deepQuery(selector, inner().get(e)));
        }
        return out;
    }
    // The node that holds n: its parent element, a shadow root, then the shadow root's host; never out of a document.
    function parentOf(n) {
        if (n.nodeType === 11)
            return n.host;
        const p = n.parentNode;
        return p && (p.nodeType === 1 || p.nodeType === 11) ? p : null;
    }

    // --- What a user sees. ---

    function visible(e) {
        if (e.type === 'hidden' || e.hidden)
            return false;
        const box = e.getBoundingClientRect();
        if (box.width < 2 || box.height < 2 || box.right <= 0 || box.bottom <= 0)
            return false;
        const view = e.ownerDocument.defaultView;
        const style = view.getComputedStyle(e);
        if (style.visibility !== 'visible' || style.display === 'none')
            return false;
        for (let n = e; n && n.nodeType === 1; n = n.parentElement) {
            if (view.getComputedStyle(n).opacity === '0')
                return false;
        }
        return !view.frameElement || visible(view.frameElement);
    }
    // What a control says: its text, value, label or title, in lower case with single blanks.
    function says(e) {
        const label = e.labels && e.labels.length ? e.labels[0].textContent : '';
        return [e.innerText || e.textContent, e.type === 'submit' || e.type === 'button' ? e.value : '', e.alt,
                e.getAttribute('aria-label'), e.title, label].filter(Boolean).join(' ').toLowerCase()
            .replace(/\s+/g, ' ').trim();
    }
    // What an element's markup says of it (of a form's address, the path alone: "?next=/search" is no search).
    function attributesOf(e) {
        return [e.name, e.id, e.className, e.getAttribute('placeholder'), e.getAttribute('aria-label'),
                e.getAttribute('autocomplete'), (e.getAttribute('action') || '').split('?')[0]]
            .filter((a) => typeof a === 'string' && a).join(' ').toLowerCase();
    }

    // --- Fields. ---

    const isInput = (e) => e.tagName === 'INPUT';
    const isPassword = (e) => isInput(e) && e.type === 'password';
    const autocomplete = (e) => (e.getAttribute('autocomplete') || '').toLowerCase();
    function isUserName(e) {
        if (!isInput(e) || /one-time-code/.test(autocomplete(e)))
            return false;
        if (/username/.test(autocomplete(e)))
            return true;
        return (e.type === 'text' || e.type === 'email' || e.type === 'tel') && !/\b(otp|totp|captcha)\b/.test(
            attributesOf(e));
    }
    const usable = (e) => !e.disabled && !e.readOnly;
    function looksLikeSearch(e) {
        return e.type === 'search' || !!e.closest('[role=search]') ||
            /search|query|\bq\b|find/.test(attributesOf(e));
    }
    // A box that must stay clear: one that shows the password as text, or asks to agree to something.
    const keepClear = (e) => /show|reveal|unmask|display|visib|agree|accept|terms|newsletter/.test(
        attributesOf(e) + ' ' + says(e));

    // The visible password field of the login form: one for a new password (a registration) only when nothing else.
    function loginPassword() {
        const fields = deepQuery('input', document).filter((e) => isPassword(e) && visible(e) && usable(e));
        const rank = (e) => (/new-password/.test(autocomplete(e)) ? 2 : 0) +
            (scope(container(e), 'input').filter(isPassword).length > 1 ? 1 : 0);
        fields.sort((a, b) => rank(a) - rank(b)); // stable: document order among equals
        return fields[0] || null;
    }

    // --- The login form: the field's form, or without one the nearest container that holds a control with it. ---

    function container(field) {
        if (field.form)
            return field.form;
        for (let c = parentOf(field); c; c = parentOf(c)) {
            if (Array.from(c.querySelectorAll('input,button,[role=button]')).some(
                    (e) => e !== field && e.type !== 'hidden'))
                return c;
        }
        return field.ownerDocument.body || field.ownerDocument.documentElement;
    }
    // The elements of a login form or container (a form's own controls elsewhere in the page included).
    function scope(c, selector) {
        const found = deepQuery(selector, c);
        if (c.tagName === 'FORM') {
            for (const e of c.elements) {
                if (e.matches(selector) && !found.includes(e))
                    found.push(e);
            }
        }
        return found;
    }
    // The user-name field for a password field: the nearest before it, one shown first, else a hidden one that
    // says what it is (a two-step page's second half carries the name so).
    function userNameFor(password) {
        const inputs = scope(container(password), 'input');
        const before = inputs.slice(0, Math.max(inputs.indexOf(password), 0)).filter(
            (e) => isUserName(e) && usable(e) && !looksLikeSearch(e));
        const shown = before.filter(visible);
        if (shown.length)
            return shown[shown.length - 1];
        const hidden = before.filter((e) => /username/.test(autocomplete(e)) ||
                                          /user|login|e-?mail|ident|account/.test(attributesOf(e)));
        return hidden.length ? hidden[hidden.length - 1] : null;
    }
    // The user-name field of a page that shows no password field: the one that most looks like a login's, never a
    // search box or a newsletter's.
    function firstStepField() {
        let best = null, bestScore = -1;
        for (const e of deepQuery('input', document)) {
            if (!isUserName(e) || !usable(e) || !visible(e) || looksLikeSearch(e))
                continue;
            const c = container(e);
            const around = attributesOf(c) + ' ' + (c.tagName === 'FORM' ? says(c) : '');
            if (/newsletter|subscri|search/.test(around))
                continue;
            const score = (/username/.test(autocomplete(e)) || e.type === 'email' ? 2 : 0) +
                (/user|login|e-?mail|ident|account|sign/.test(attributesOf(e)) ? 1 : 0) +
                (/login|log-in|signin|sign-in|auth|session/.test(attributesOf(c)) ? 1 : 0);
            if (score > bestScore)
                (best = e), (bestScore = score);
        }
        return best;
    }

    // --- Setting values as a user does, so that pages built with script frameworks see them. ---

    function setValue(e, v) {
        e.setAttribute('value', v);
        e.value = v;
        e.dispatchEvent(new Event('input', { bubbles: true }));
        e.dispatchEvent(new Event('change', { bubbles: true }));
    }
    // Ticked as a user ticks it: some frameworks learn of a check box only from its click. The attribute and the
    // property follow, in case the page refused the click.
    function tick(e) {
        if (!e.checked)
            e.click();
        e.setAttribute('checked', '');
        e.checked = true;
    }
    function tickBoxes(c) {
        scope(c, 'input[type=checkbox]').filter((e) => !e.disabled && !keepClear(e)).forEach(tick);
    }

    // --- Submitting: the form's own submit control, else a button that says sign in or next, else Enter. ---

    const kSays = new RegExp('^(sign ?in|sign-in|log ?in|log-in|log ?on|sign ?on|next|continue|submit|' +
                             'anmelden|einloggen|weiter|connexion|se connecter|suivant|continuer|iniciar sesi[oó]n|' +
                             'entrar|siguiente|continuar|accedi|avanti|inloggen|volgende|doorgaan|zaloguj się|' +
                             'dalej|войти|далее|продолжить|登录|下一步|ログイン|次へ)' +
                             '( (with|using) (e-?mail|password|user ?name)| to .*| securely| now)?$');
    const saysSignIn = (e) => kSays.test(says(e).replace(/^[^\p{L}]+|[^\p{L}]+$/gu, ''));
    // The form's own submit control: one that says so, else the first after the last field filled (one before the
    // fields, such as a search button of a page that is one big form, is not the login's). Else a button or link in
    // the form that says so, then a button in what holds the form, up to what holds another form.
    function submitControl(c, last) {
        const own = scope(c, 'input[type=submit],input[type=image],button').filter(
            (e) => (e.tagName !== 'BUTTON' || e.type === 'submit') && visible(e));
        const order = scope(c, 'input,button');
        const chosen = own.find(saysSignIn) || own.find((e) => order.indexOf(e) > order.indexOf(last));
        if (chosen)
            return chosen;
        const worded = (root, selector) => deepQuery(selector, root).find((e) => visible(e) && saysSignIn(e));
        let button = worded(c, 'button,input[type=button],[role=button],a');
        for (let up = parentOf(c); up && !button; up = parentOf(up)) {
            if (deepQuery('form', up).some((f) => f !== c))
                break;
            button = worded(up, 'button,input[type=button],[role=button]');
        }
        return button || null;
    }
    const enabled = (e) => !e.disabled && e.getAttribute('aria-disabled') !== 'true';
    // A control that the page enables only once it has taken in the values is waited for, up to 2 s.
    function press(control, last) {
        const until = now() + 2000;
        const attempt = () => {
            if (enabled(control))
                control.click();
            else if (now() < until)
                setTimeout(attempt, 50);
        };
        if (control) {
            attempt();
        } else if (last) {
            last.focus();
            report('enter');
        }
    }
    function submit(c, last) {
        if (data.submit)
            press(submitControl(c, last), last);
    }

    // --- The steps. ---

    // A login form with its password field: the whole sign-in.
    function signIn(password) {
        const c = container(password);
        const user = userNameFor(password);
        if (user && (visible(user) || !user.value))
            setValue(user, data.id);
        setValue(password, data.password);
        tickBoxes(c);
        report('done');
        submit(c, password);
    }
    // The user name alone, on the first page of a two-step sign-in. A page that shows its password field once the
    // name is in is a one-step page after all; else the step is sent, and the same document watched for its password
    // field (the next page, if it loads, is the program's to follow).
    function firstStep(user) {
        setValue(user, data.id);
        report('first'); // at once: the user may go on by hand before the step is sent
        setTimeout(() => {
            look();
            const password = loginPassword();
            if (password)
                return signIn(password);
            const c = container(user);
            tickBoxes(c);
            submit(c, user);
            passwordStep(data.followMs);
        }, 100);
    }

    // Runs check whenever the page changes (nodes, or what hides or shows them) and every 200 ms, for frames and
    // shadow roots that come later, until check returns true or the time is up. A number asks for a run that much
    // later.
    function watch(check, ms) {
        const until = now() + ms;
        const observed = new Set();
        let pending = false, over = false;
        const observer = new MutationObserver(() => {
            if (!pending)
                (pending = true), setTimeout(run, 0);
        });
        const timer = setInterval(run, 200);
        function stop() {
            over = true;
            observer.disconnect();
            clearInterval(timer);
        }
        function run() {
            pending = false;
            if (over)
                return;
            look();
            if (now() > until)
                return stop();
            try {
                const result = check();
                if (result === true)
                    return stop();
                if (typeof result === 'number')
                    setTimeout(run, result);
                for (const r of roots()) {
                    if (!observed.has(r)) {
                        observed.add(r);
                        observer.observe(r, { childList: true, subtree: true, attributes: true,
                                              attributeFilter: ['style', 'class', 'hidden', 'type', 'disabled'] });
                    }
                }
            } catch (err) {
                stop();
            }
        }
        run();
    }
    const passwordStep = (ms) => watch(() => {
        const field = loginPassword();
        return field ? (signIn(field), true) : false;
    }, ms);

    // The page at the stored address: a password field shown means the whole sign-in; a user-name field shown alone
    // for half a second (counted from when it shows) means the first of two steps.
    function loginStep() {
        const home = new URL(data.address).href;
        let userSince = 0;
        watch(() => {
            if (location.href !== home)
                return false; // moved on, even by a history change: not the login page any more
            const password = loginPassword();
            if (password)
                return signIn(password), true;
            const user = firstStepField();
            if (!user)
                return (userSince = 0), false;
            userSince = userSince || now();
            const waited = now() - userSince;
            return waited < 500 ? 500 - waited : (firstStep(user), true);
        }, data.waitMs);
    }

    try {
        if (data.step === 'login')
            loginStep();
        else
            passwordStep(data.waitMs);
    } catch (err) {
    }
})
